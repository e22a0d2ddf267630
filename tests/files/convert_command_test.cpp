#include <algorithm>
#include <sstream>

#include "files/convert_command.h"
#include "files/midi_export.h"
#include "files/zqf3_file.h"
#include "files_fixture.h"

namespace kelvara::testing {
namespace {

class Convert : public FilesTest {
 protected:
  Convert() {
    add(60, 16);
    add(0, 8);
    add(64, 8);
    add(36, 4, kPercussionPart);
    add(72, 32, 10);
    s.Tempo = 90;
    EXPECT_TRUE(savedataplus2(s, path("song.zqf3")).ok());
  }

  int run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return runConvertCommand(args, out, err);
  }

  size_t filesInDir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                             std::filesystem::directory_iterator{}));
  }

  std::ostringstream out, err;
};

TEST_F(Convert, BadCommandLinesExitTwoWithOneLineAndWriteNothing) {
  const std::string in = path("song.zqf3"), mid = path("x.mid");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {in},
      {in, mid, path("y.mid")},
      {path("song.txt"), mid},
      {path("song.ZQF3"), mid},  // input extensions are compared exactly too
      {in, path("x.ogg")},
      {in, mid, "--soundfont", "gm.sf2"},  // a soundfont only for audio
      {in, path("x.wav"), "--soundfont"},
      {in, path("x.wav"), "--soundfont="},
      {in, path("x.MID")},  // extensions are compared exactly
      {in, path("x.zqf")},  // a .zqf file needs exactly one part
      {in, path("x.zqf"), "--parts", "1,2"},
      {in, path("x.zqf2"), "--bars", "1-2"},
      {in, mid, "--bars", "3-2"},
      {in, mid, "--bars", "0-2"},
      {in, mid, "--bars", "two"},
      {in, mid, "--into-part", "1"},
      {in, mid, "--parts", "11"},
      {in, mid, "--parts", "0"},
      {in, mid, "--parts"},
      {in, mid, "--colour", "red"},
      {in, mid, "--standard-notation"},  // standard notation only for MusicXML
      {in, path("x.musicxml"), "--standard-notation=1"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    EXPECT_EQ(run(args), kConvertBadUsage) << shown;
    const std::string e = err.str();
    EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << shown << ": " << e;
    EXPECT_EQ(filesInDir(), 1u) << shown;
  }
  EXPECT_EQ(run({"--help"}), kConvertOk);
  EXPECT_NE(out.str().find("--into-part"), std::string::npos);
}

TEST_F(Convert, WavGoesToTheAudioExportWithPartsBarsAndSoundfont) {
  // Without an audio export (a build with no synthesizer) it is a failure.
  EXPECT_EQ(run({path("song.zqf3"), path("x.wav")}), kConvertFileFailed);
  EXPECT_NE(err.str().find("x.wav"), std::string::npos);
  EXPECT_EQ(filesInDir(), 1u);

  struct Call {
    PerPart<uint8_t> parts;
    int32_t from, to;
    std::string output, soundFont;
    int32_t tempo;
  };
  std::vector<Call> calls;
  const AudioExport audio = [&](const EditorState& loaded, int32_t from, int32_t to,
                                const std::string& output, const std::string& soundFont) {
    calls.push_back({loaded.PartSelected, from, to, output, soundFont, loaded.Tempo});
    return FileResult{};
  };
  out.str("");
  EXPECT_EQ(runConvertCommand({path("song.zqf3"), path("x.wav"), "--parts", "1,perc", "--bars",
                               "2-3", "--soundfont", "gm.sf2"},
                              out, err, audio),
            kConvertOk);
  EXPECT_EQ(runConvertCommand({path("song.zqf3"), path("y.wav")}, out, err, audio), kConvertOk);
  ASSERT_EQ(calls.size(), 2u);
  PerPart<uint8_t> chosen{};
  chosen[0] = chosen[kPercussionPart] = 1;
  EXPECT_EQ(calls[0].parts, chosen);
  EXPECT_EQ(calls[0].from, 2);
  EXPECT_EQ(calls[0].to, 3);
  EXPECT_EQ(calls[0].output, path("x.wav"));
  EXPECT_EQ(calls[0].soundFont, "gm.sf2");
  EXPECT_EQ(calls[0].tempo, 90);  // the score as loaded
  EXPECT_EQ(calls[1].to, -1);
  EXPECT_EQ(calls[1].soundFont, "");
  // A failing export is the command's failure, in its words.
  const AudioExport failing = [](const EditorState&, int32_t, int32_t, const std::string&,
                                 const std::string&) {
    return FileResult::failure(FileError::CannotCreate, "no room");
  };
  std::ostringstream err2;
  EXPECT_EQ(runConvertCommand({path("song.zqf3"), path("z.wav")}, out, err2, failing),
            kConvertFileFailed);
  EXPECT_EQ(err2.str(), "kelvara convert: no room\n");
}

TEST_F(Convert, WritesEveryKindWithTheChosenParts) {
  // Default: every part, one track each.
  ASSERT_EQ(run({path("song.zqf3"), path("all.mid")}), kConvertOk) << err.str();
  EXPECT_TRUE(out.str().empty());
  auto lines = readWithMido(path("all.mid"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "header 1 11 960");
  EXPECT_EQ(eventsOf(lines, 0, "on"),
            (std::vector<std::string>{"0 on 0 60 100", "1440 on 0 64 100"}));
  EXPECT_EQ(eventsOf(lines, 0, "tempo"), (std::vector<std::string>{"0 tempo 666666"}));

  // Labels: "perc" is part 9, "10" is part 10.
  ASSERT_EQ(run({path("song.zqf3"), path("two.zqf2"), "--parts", "perc,1"}), kConvertOk)
      << err.str();
  lines = readWithMido(path("two.zqf2"));
  EXPECT_EQ(lines[0], "header 1 2 960");
  EXPECT_EQ(eventsOf(lines, 1, "on"), (std::vector<std::string>{"0 on 9 36 100"}));

  ASSERT_EQ(run({path("song.zqf3"), path("ten.zqf"), "--parts=10"}), kConvertOk) << err.str();
  ASSERT_EQ(run({path("ten.zqf"), path("back.zqf3"), "--into-part", "perc"}), kConvertOk)
      << err.str();
  EditorState t;
  t.createLists();
  ASSERT_TRUE(loaddataplus2(t, path("back.zqf3")).ok());
  EXPECT_EQ(firstRecordOf(t.PartHead[kPercussionPart])->Pitch[0], 72);
  EXPECT_EQ(firstRecordOf(t.PartHead[kPercussionPart])->Length, 32);
  EXPECT_EQ(t.Tempo, 90);

  // Standard notation in MusicXML: beams and the one percussion staff.
  ASSERT_EQ(run({path("song.zqf3"), path("plain.musicxml")}), kConvertOk) << err.str();
  ASSERT_EQ(run({path("song.zqf3"), path("standard.musicxml"), "--standard-notation"}), kConvertOk)
      << err.str();
  auto text = [&](const std::string& name) {
    const Bytes b = readBytes(path(name));
    return std::string(b.begin(), b.end());
  };
  EXPECT_EQ(text("plain.musicxml").find("<sign>percussion</sign>"), std::string::npos);
  EXPECT_NE(text("standard.musicxml").find("<sign>percussion</sign>"), std::string::npos);

  // The bar range gives what preview writes.
  ASSERT_EQ(run({path("song.zqf3"), path("range.smf"), "--bars", "1-1", "--parts", "1"}),
            kConvertOk);
  selectOnly({0});
  ASSERT_TRUE(savedataplus3(s, path("preview.mid"), 1, 1).ok());
  EXPECT_EQ(readBytes(path("range.smf")), readBytes(path("preview.mid")));
}

TEST_F(Convert, FailureLeavesNoOutputAndKeepsAnExistingFile) {
  writeBytes(path("keep.mid"), hex("AA BB"));
  Bytes cut = readBytes(path("song.zqf3"));
  cut.resize(cut.size() - 1);
  writeBytes(path("cut.zqf3"), cut);

  EXPECT_EQ(run({path("missing.zqf3"), path("new.mid")}), kConvertFileFailed);
  EXPECT_NE(err.str().find("missing.zqf3"), std::string::npos);
  EXPECT_EQ(run({path("cut.zqf3"), path("keep.mid")}), kConvertFileFailed);
  EXPECT_NE(err.str().find("cut.zqf3"), std::string::npos);
  const std::string e = err.str();
  EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1);
  EXPECT_EQ(run({path("song.zqf3"), path("no/such/folder/x.mid")}), kConvertFileFailed);
  EXPECT_NE(err.str().find("x.mid"), std::string::npos);

  EXPECT_EQ(readBytes(path("keep.mid")), hex("AA BB"));
  EXPECT_FALSE(std::filesystem::exists(path("new.mid")));
  EXPECT_EQ(filesInDir(), 3u);  // song.zqf3, keep.mid, cut.zqf3: no temporary files left
}

}  // namespace
}  // namespace kelvara::testing
