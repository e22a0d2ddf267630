#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kelvara {

// Exit statuses of the converter.
constexpr int kConvertOk = 0;
constexpr int kConvertFileFailed = 1;  // a file could not be read or written
constexpr int kConvertBadUsage = 2;    // the command line is wrong

// `kelvara convert INPUT OUTPUT [--parts LIST] [--bars FROM-TO] [--into-part LABEL]`:
// reads a score file into a fresh score and writes it in the kind the output
// name's extension asks for, with no display. args are the words after
// "convert". Errors are one line on err; the output file is then not created
// (an existing one is left as it was).
int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage text of the convert command, for `kelvara --help`.
std::string convertUsage();

}  // namespace kelvara
