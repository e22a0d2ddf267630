#include "files/convert_command.h"

#include "files/score_file.h"

#include <optional>

#include "files/command_options.h"
#include "files/midi_export.h"
#include "files/musicxml_export.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "score/editor_state.h"

namespace kelvara {

namespace {

// The command line, checked.
struct ConvertRequest {
  std::string input;
  std::string output;
  std::string inputKind;   // ".zqf3", ".zqf2", ".zqf", ".mid", ".smf" or a MusicXML kind
  std::string outputKind;  // ".mid", ".smf", ".wav", ".zqf3", ".zqf2" or ".zqf"
  std::string soundFont;   // .wav only; empty: the usual search
  PerPart<uint8_t> parts{};
  int chosenParts = 0;
  int32_t fromBar = 0;
  int32_t toBar = -1;
  int intoPart = 0;
  bool standardNotation = false;  // MusicXML only: written as standard notation draws it
};

UsageProblem parseArgs(const std::vector<std::string>& args, ConvertRequest& req) {
  req.parts.fill(1);
  req.chosenParts = kPartCount;
  CommandOptions options;
  if (UsageProblem problem =
          readCommandOptions(args, {"--parts", "--bars", "--into-part", "--soundfont"}, options,
                             {"--standard-notation"})) {
    return problem;
  }
  if (const std::string* list = options.value("--parts")) {
    PartChoice choice;
    if (UsageProblem problem = parsePartList(*list, choice)) return problem;
    req.parts = choice.parts;
    req.chosenParts = choice.count;
  }
  const std::vector<std::string>& positional = options.positional;
  if (positional.size() != 2) return "needs exactly an INPUT and an OUTPUT file";
  req.input = positional[0];
  req.output = positional[1];
  req.inputKind = fileExtension(req.input);
  req.outputKind = fileExtension(req.output);
  if (!isReadableFileKind(req.inputKind)) {
    return "cannot read '" + req.input +
           "': INPUT must end in .zqf3, .zqf2, .zqf, .mid, .smf, .musicxml, .xml or .mxl";
  }
  const bool audio = req.outputKind == ".wav";
  const bool midi = req.outputKind == ".mid" || req.outputKind == ".smf" || audio;
  if (!midi && req.outputKind != ".zqf3" && req.outputKind != ".zqf2" && req.outputKind != ".zqf" &&
      !isMusicXmlKind(req.outputKind)) {
    return "cannot write '" + req.output +
           "': OUTPUT must end in .mid, .smf, .wav, .zqf3, .zqf2, .zqf, .musicxml, .xml or .mxl";
  }
  req.standardNotation = options.has("--standard-notation");
  if (req.standardNotation && !isMusicXmlKind(req.outputKind)) {
    return "--standard-notation works only with .musicxml, .xml or .mxl output";
  }
  if (const std::string* soundFont = options.value("--soundfont")) {
    if (!audio) return "--soundfont works only with .wav output";
    if (soundFont->empty()) return "--soundfont needs a file";
    req.soundFont = *soundFont;
  }
  if (req.outputKind == ".zqf" && req.chosenParts != 1) {
    return "a .zqf file holds one part: choose it with --parts";
  }
  if (const std::string* bars = options.value("--bars")) {
    if (!midi) return "--bars works only with .mid, .smf or .wav output";
    if (UsageProblem problem = parseBarRange(*bars, req.fromBar, req.toBar)) return problem;
  }
  if (const std::string* intoPart = options.value("--into-part")) {
    if (req.inputKind != ".zqf") return "--into-part works only with .zqf input";
    if (UsageProblem problem = parsePartLabel(*intoPart, req.intoPart)) return problem;
  }
  return std::nullopt;
}

FileResult convert(const ConvertRequest& req, const AudioExport& audio, std::ostream& notices) {
  EditorState s;
  s.createLists();
  LoadResult loaded = loadScoreFile(s, req.input, req.intoPart);
  if (!loaded.ok()) return loaded;
  if (!loaded.notice.empty()) notices << "kelvara convert: " << loaded.notice << "\n";
  s.PartSelected = req.parts;
  s.StandardNotation = req.standardNotation;
  if (req.outputKind == ".zqf3") return savedataplus2(s, req.output);
  if (req.outputKind == ".zqf2" || req.outputKind == ".zqf") return savedataplus(s, req.output);
  if (isMusicXmlKind(req.outputKind)) return saveMusicXml(s, req.output);
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
         "                       [--soundfont FILE] [--standard-notation]\n"
         "  Converts a score file without opening a window; the file kinds follow\n"
         "  the extensions (compared exactly, lower case).\n"
         "  INPUT   .zqf3 (whole score), .zqf2 (track file), .zqf (one-part track file),\n"
         "          .mid or .smf (a Standard MIDI file from any program, imported: what\n"
         "          had to be approximated is told on stderr), or .musicxml, .xml or\n"
         "          .mxl (MusicXML from a notation program)\n"
         "  OUTPUT  .mid or .smf (MIDI export with every note modifier), .zqf3, .zqf2,\n"
         "          or .zqf (exactly one part must be chosen), or .wav (the music played\n"
         "          by the built-in synthesizer: 16-bit stereo, 44 100 Hz; no sound\n"
         "          device needed), or .musicxml, .xml or .mxl (MusicXML 4.0 for notation\n"
         "          programs; .mxl is compressed)\n"
         "  --parts LIST       parts to write, comma-separated: 1 to 10 and perc\n"
         "                     (the percussion part); default: every part\n"
         "  --bars FROM-TO     .mid, .smf and .wav only: the notes that start in bars\n"
         "                     FROM to TO (numbered from 1), as preview does\n"
         "  --into-part LABEL  .zqf input only: the part that receives the track\n"
         "                     (default 1)\n"
         "  --soundfont FILE   .wav only: the soundfont to play with (else\n"
         "                     KELVARA_SOUNDFONT, else the one installed)\n"
         "  --standard-notation  MusicXML only: dotted values, beams, stems and the\n"
         "                     percussion staff as the standard notation option draws them\n"
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
  if (UsageProblem problem = parseArgs(args, req)) return badUsage(err, "convert", *problem);
  const FileResult r = convert(req, audio, err);
  if (!r.ok()) return commandFailed(err, "convert", r.message);
  return kConvertOk;
}

}  // namespace kelvara
