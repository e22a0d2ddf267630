#include "files/convert_command.h"

#include "files/score_file.h"

#include <charconv>
#include <optional>

#include "files/midi_export.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "score/editor_state.h"

namespace kelvara {

namespace {

// The command line, checked.
struct ConvertRequest {
  std::string input;
  std::string output;
  std::string inputKind;   // ".zqf3", ".zqf2", ".zqf", ".mid" or ".smf"
  std::string outputKind;  // ".mid", ".smf", ".wav", ".zqf3", ".zqf2" or ".zqf"
  std::string soundFont;   // .wav only; empty: the usual search
  PerPart<uint8_t> parts{};
  int chosenParts = 0;
  int32_t fromBar = 0;
  int32_t toBar = -1;
  int intoPart = 0;
};

struct UsageError {
  std::string message;
};

std::optional<int> parseInt(const std::string& text) {
  int v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return v;
}

// The labels users see: 1..9 are parts 0..8, 10 is part 10, "perc" part 9.
int partFromLabel(const std::string& label) {
  if (label == "perc") return kPercussionPart;
  const auto n = parseInt(label);
  if (!n || *n < 1 || *n > 10) {
    throw UsageError{"unknown part '" + label + "' (use 1 to 10 or perc)"};
  }
  return partForListItem(*n - 1);
}

void parseParts(const std::string& list, ConvertRequest& req) {
  req.parts.fill(0);
  size_t from = 0;
  for (;;) {
    const size_t comma = list.find(',', from);
    const int p = partFromLabel(list.substr(from, comma - from));
    req.parts[p] = 1;
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  req.chosenParts = 0;
  for (uint8_t on : req.parts) req.chosenParts += on;
}

void parseBars(const std::string& range, ConvertRequest& req) {
  const size_t dash = range.find('-');
  const auto from = dash == std::string::npos ? std::nullopt : parseInt(range.substr(0, dash));
  const auto to = dash == std::string::npos ? std::nullopt : parseInt(range.substr(dash + 1));
  if (!from || !to || *from < 1 || *to < *from) {
    throw UsageError{"--bars needs FROM-TO with 1 <= FROM <= TO, not '" + range + "'"};
  }
  req.fromBar = *from;
  req.toBar = *to;
}

ConvertRequest parseArgs(const std::vector<std::string>& args) {
  ConvertRequest req;
  req.parts.fill(1);
  req.chosenParts = kPartCount;
  std::vector<std::string> positional;
  std::optional<std::string> bars, intoPart, soundFont;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a.compare(0, 2, "--") != 0) {
      positional.push_back(a);
      continue;
    }
    std::string name = a, value;
    const size_t eq = a.find('=');
    if (eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
    } else if (name == "--parts" || name == "--bars" || name == "--into-part" ||
               name == "--soundfont") {
      if (i + 1 == args.size()) throw UsageError{name + " needs a value"};
      value = args[++i];
    }
    if (name == "--parts") {
      parseParts(value, req);
    } else if (name == "--bars") {
      bars = value;
    } else if (name == "--into-part") {
      intoPart = value;
    } else if (name == "--soundfont") {
      soundFont = value;
    } else {
      throw UsageError{"unknown option '" + a + "'"};
    }
  }
  if (positional.size() != 2) throw UsageError{"needs exactly an INPUT and an OUTPUT file"};
  req.input = positional[0];
  req.output = positional[1];
  req.inputKind = fileExtension(req.input);
  req.outputKind = fileExtension(req.output);
  if (!isReadableFileKind(req.inputKind)) {
    throw UsageError{"cannot read '" + req.input +
                     "': INPUT must end in .zqf3, .zqf2, .zqf, .mid or .smf"};
  }
  const bool audio = req.outputKind == ".wav";
  const bool midi = req.outputKind == ".mid" || req.outputKind == ".smf" || audio;
  if (!midi && req.outputKind != ".zqf3" && req.outputKind != ".zqf2" && req.outputKind != ".zqf") {
    throw UsageError{"cannot write '" + req.output +
                     "': OUTPUT must end in .mid, .smf, .wav, .zqf3, .zqf2 or .zqf"};
  }
  if (soundFont) {
    if (!audio) throw UsageError{"--soundfont works only with .wav output"};
    if (soundFont->empty()) throw UsageError{"--soundfont needs a file"};
    req.soundFont = *soundFont;
  }
  if (req.outputKind == ".zqf" && req.chosenParts != 1) {
    throw UsageError{"a .zqf file holds one part: choose it with --parts"};
  }
  if (bars) {
    if (!midi) throw UsageError{"--bars works only with .mid, .smf or .wav output"};
    parseBars(*bars, req);
  }
  if (intoPart) {
    if (req.inputKind != ".zqf") throw UsageError{"--into-part works only with .zqf input"};
    req.intoPart = partFromLabel(*intoPart);
  }
  return req;
}

FileResult convert(const ConvertRequest& req, const AudioExport& audio, std::ostream& notices) {
  EditorState s;
  s.createLists();
  LoadResult loaded = loadScoreFile(s, req.input, req.intoPart);
  if (!loaded.ok()) return loaded;
  if (!loaded.notice.empty()) notices << "kelvara convert: " << loaded.notice << "\n";
  s.PartSelected = req.parts;
  if (req.outputKind == ".zqf3") return savedataplus2(s, req.output);
  if (req.outputKind == ".zqf2" || req.outputKind == ".zqf") return savedataplus(s, req.output);
  if (req.outputKind == ".wav") {
    if (!audio) {
      return FileResult::failure(
          FileError::CannotCreate,
          "ファイル " + req.output + " を作成できません（音声の書き出しがありません）");
    }
    return audio(s, req.fromBar, req.toBar, req.output, req.soundFont);
  }
  return savedataplus3(s, req.output, req.fromBar, req.toBar);
}

}  // namespace

std::string convertUsage() {
  return "Usage: kelvara convert INPUT OUTPUT [--parts LIST] [--bars FROM-TO] [--into-part LABEL]\n"
         "                       [--soundfont FILE]\n"
         "  Converts a score file without opening a window; the file kinds follow\n"
         "  the extensions (compared exactly, lower case).\n"
         "  INPUT   .zqf3 (whole score), .zqf2 (track file), .zqf (one-part track file),\n"
         "          or .mid / .smf (a Standard MIDI file from any program, imported:\n"
         "          what had to be approximated is told on stderr)\n"
         "  OUTPUT  .mid or .smf (MIDI export with every note modifier), .zqf3, .zqf2,\n"
         "          or .zqf (exactly one part must be chosen), or .wav (the music played\n"
         "          by the built-in synthesizer: 16-bit stereo, 44 100 Hz; no sound\n"
         "          device needed)\n"
         "  --parts LIST       parts to write, comma-separated: 1 to 10 and perc\n"
         "                     (the percussion part); default: every part\n"
         "  --bars FROM-TO     .mid, .smf and .wav only: the notes that start in bars\n"
         "                     FROM to TO (numbered from 1), as preview does\n"
         "  --into-part LABEL  .zqf input only: the part that receives the track\n"
         "                     (default 1)\n"
         "  --soundfont FILE   .wav only: the soundfont to play with (else\n"
         "                     KELVARA_SOUNDFONT, else the one installed)\n"
         "  Exit status: 0 done; 1 a file could not be read or written (the output\n"
         "  is then not created and an existing one is left as it was); 2 bad arguments.\n";
}

int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const AudioExport& audio) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      out << convertUsage();
      return kConvertOk;
    }
  }
  ConvertRequest req;
  try {
    req = parseArgs(args);
  } catch (const UsageError& e) {
    err << "kelvara convert: " << e.message << " (see kelvara --help)\n";
    return kConvertBadUsage;
  }
  const FileResult r = convert(req, audio, err);
  if (!r.ok()) {
    err << "kelvara convert: " << r.message << "\n";
    return kConvertFileFailed;
  }
  return kConvertOk;
}

}  // namespace kelvara
