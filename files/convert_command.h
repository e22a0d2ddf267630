#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "files/command_options.h"
#include "files/file_result.h"
#include "score/editor_state.h"

namespace kelvara {

// Exit statuses of the converter.
constexpr int kConvertOk = kCommandOk;
constexpr int kConvertFileFailed = kCommandFileFailed;
constexpr int kConvertBadUsage = kCommandBadUsage;

// Writes the selected parts and the records starting in bars fromBar..toBar
// (all when toBar is below 0) of a score as audio to `output`, with the
// soundfont named (empty: the usual search). Given by the program, which
// has the synthesizer; the converter itself knows nothing of sound.
using AudioExport =
    std::function<FileResult(const EditorState& s, int32_t fromBar, int32_t toBar,
                             const std::string& output, const std::string& soundFont)>;

// `kelvara convert INPUT OUTPUT [--parts LIST] [--bars FROM-TO] [--into-part LABEL]
// [--soundfont FILE]`: reads a score file into a fresh score and writes it in
// the kind the output name's extension asks for, with no display. A ".wav"
// output goes to `audio` (refused when it is empty). args are the words after
// "convert". Errors are one line on err; the output file is then not created
// (an existing one is left as it was).
int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const AudioExport& audio = {});

// The usage text of the convert command, for `kelvara --help`.
std::string convertUsage();

}  // namespace kelvara
