// The audio export rendered offline and listened to: the expected pitches
// sound at the expected times, and silence where the score rests.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "files/convert_command.h"
#include "files/zqf3_file.h"
#include "score/onpu.h"
#include "score/part_list.h"
#include "sound/audio_export.h"
#include "sound/audio_render.h"
#include "synth_render.h"

namespace kelvara::testing {
namespace {

constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr int kRate = 44100;

struct Wav {
  int channels = 0, rate = 0, bits = 0;
  std::vector<float> mono;  // left and right mixed
  double peak = 0;
};

uint32_t le(const std::vector<uint8_t>& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
  return v;
}

Wav readWav(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  const std::vector<uint8_t> b(std::istreambuf_iterator<char>(in), {});
  Wav w;
  if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 16) != "WAVEfmt " ||
      std::string(b.begin() + 36, b.begin() + 40) != "data") {
    ADD_FAILURE() << p << " is not a plain WAV file";
    return w;
  }
  EXPECT_EQ(le(b, 4, 4), b.size() - 8);
  EXPECT_EQ(le(b, 40, 4), b.size() - 44);
  EXPECT_EQ(le(b, 20, 2), 1u);  // integer PCM
  w.channels = static_cast<int>(le(b, 22, 2));
  w.rate = static_cast<int>(le(b, 24, 4));
  w.bits = static_cast<int>(le(b, 34, 2));
  for (size_t i = 44; i + 3 < b.size(); i += 4) {
    const auto l = static_cast<int16_t>(le(b, i, 2));
    const auto r = static_cast<int16_t>(le(b, i + 2, 2));
    w.mono.push_back(static_cast<float>((l + r) / 65536.0));
    w.peak = std::max({w.peak, std::abs(l / 32768.0), std::abs(r / 32768.0)});
  }
  return w;
}

// Root mean square between two times in seconds.
double energy(const Wav& w, double from, double to) {
  const double n = static_cast<double>(w.mono.size());
  return rms(w.mono, from * kRate / n, to * kRate / n);
}

size_t at(double seconds) {
  return static_cast<size_t>(seconds * kRate);
}

class AudioExport : public ::testing::Test {
 protected:
  AudioExport() {
    s.createLists();
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvara-wav-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
  }
  ~AudioExport() override { std::filesystem::remove_all(dir); }

  void SetUp() override {
    if (!std::filesystem::exists(kSmallSoundFont)) GTEST_SKIP() << "no " << kSmallSoundFont;
  }

  TOnpu* add(int32_t pitch, int32_t length, int part = 0) {
    TOnpu* r = makeRecord(pitch, length, 1);
    linkBefore(endMarkerOf(s.PartHead[part]), r);
    return r;
  }

  std::string path(const std::string& name) const { return (dir / name).string(); }

  EditorState s;
  std::filesystem::path dir;
};

TEST_F(AudioExport, MelodySoundsAtItsPitchesAndTimes) {
  // At 120 a quarter note lasts half a second. Flute (program 73): a clear
  // fundamental. A4 (440 Hz), a quarter rest, E5 (659 Hz) as a half note,
  // then bar 2: C5 (523 Hz) on the percussion-free channel 10 part.
  s.PartProgram[0] = 73;
  s.PartProgram[10] = 73;
  add(69, 16);
  add(0, 16);
  add(76, 32);
  add(0, 64, 10);
  add(72, 32, 10);
  s.PartSelected.fill(0);
  s.PartSelected[0] = s.PartSelected[10] = 1;
  const std::string out = path("melody.wav");
  const FileResult r = exportWav(s, 0, -1, out, kSmallSoundFont);
  ASSERT_TRUE(r.ok()) << r.message;
  const Wav w = readWav(out);
  EXPECT_EQ(w.channels, 2);
  EXPECT_EQ(w.rate, kRate);
  EXPECT_EQ(w.bits, 16);
  // Three seconds of music and two of tail.
  EXPECT_NEAR(static_cast<double>(w.mono.size()) / kRate, 5.0, 0.01);
  EXPECT_LT(w.peak, 1.0);  // no clipping

  const double note = energy(w, 0.05, 0.45);
  EXPECT_GT(note, 0.005);
  EXPECT_LT(energy(w, 0.7, 0.98), note / 10);  // the rest (after the release)
  EXPECT_GT(energy(w, 1.05, 1.9), note / 4);
  EXPECT_LT(energy(w, 4.5, 5.0), note / 10);  // after the end

  // Each pitch within a sixth of a semitone; a neighbouring key is 6 % away.
  EXPECT_NEAR(dominantFrequency(w.mono, at(0.05), kRate, 300, 600), 440.0, 4.0);
  EXPECT_NEAR(dominantFrequency(w.mono, at(1.1), kRate, 500, 800), 659.3, 6.0);
  EXPECT_NEAR(dominantFrequency(w.mono, at(2.1), kRate, 400, 640), 523.3, 5.0);
}

TEST_F(AudioExport, BarRangeRendersOnlyThoseBars) {
  s.PartProgram[0] = 73;
  add(69, 64);  // bar 1: A4
  add(76, 64);  // bar 2: E5
  s.PartSelected.fill(0);
  s.PartSelected[0] = 1;
  const std::string out = path("bar2.wav");
  ASSERT_TRUE(exportWav(s, 2, 2, out, kSmallSoundFont).ok());
  const Wav w = readWav(out);
  EXPECT_NEAR(static_cast<double>(w.mono.size()) / kRate, 4.0, 0.01);
  EXPECT_NEAR(dominantFrequency(w.mono, at(0.1), kRate, 300, 800), 659.3, 6.0);
}

TEST_F(AudioExport, FailuresLeaveNoFileAndKeepAnOldOne) {
  add(60, 16);
  const std::string out = path("x.wav");
  const FileResult missing = exportWav(s, 0, -1, out, path("none.sf2"));
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.message.find("none.sf2"), std::string::npos) << missing.message;
  EXPECT_FALSE(std::filesystem::exists(out));

  std::ofstream(path("old.wav")) << "old";
  std::filesystem::create_directory(path("folder.wav"));
  EXPECT_FALSE(exportWav(s, 0, -1, path("folder.wav"), kSmallSoundFont).ok());
  EXPECT_FALSE(exportWav(s, 0, -1, path("no/such/dir.wav"), kSmallSoundFont).ok());
  EXPECT_FALSE(exportWav(s, 0, -1, path("old.wav"), path("none.sf2")).ok());
  std::ifstream old(path("old.wav"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "old");
  // Only what the test made is left: no temporary files.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);
}

// Regression: the WAV writer kept its own temporary file, which a killed
// export left behind, ignored the umask, wrote over read-only files and
// replaced links by plain files.
TEST_F(AudioExport, WavFollowsTheFileRules) {
  namespace fs = std::filesystem;
  add(60, 16);
  const mode_t oldMask = ::umask(077);
  ASSERT_TRUE(exportWav(s, 0, -1, path("new.wav"), kSmallSoundFont).ok());
  ::umask(oldMask);
  EXPECT_EQ(fs::status(path("new.wav")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);

  std::ofstream(path("locked.wav")) << "old";
  fs::permissions(path("locked.wav"), fs::perms::owner_read);
  const FileResult locked = exportWav(s, 0, -1, path("locked.wav"), kSmallSoundFont);
  EXPECT_NE(locked.message.find("読み取り専用"), std::string::npos) << locked.message;

  fs::create_directory(path("real"));
  fs::create_symlink("real/take.wav", path("link.wav"));
  ASSERT_TRUE(exportWav(s, 0, -1, path("link.wav"), kSmallSoundFont).ok());
  EXPECT_TRUE(fs::is_symlink(path("link.wav")));
  EXPECT_EQ(readWav(path("real/take.wav")).channels, 2);

  // A full disk (here the file-size limit) fails the export and keeps the old file.
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit limit{20000, 20000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const FileResult r = exportWav(s, 0, -1, path("new.wav"), kSmallSoundFont);
    ::_exit(!r.ok() && r.message.find("new.wav") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_GT(fs::file_size(path("new.wav")), 20000u);
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(dir)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"link.wav", "locked.wav", "new.wav", "real", "take.wav"}));
}

TEST_F(AudioExport, ConvertCommandWritesWavThroughTheExport) {
  add(69, 16);
  add(72, 16, 1);
  const std::string score = path("s.zqf3");
  ASSERT_TRUE(savedataplus2(s, score).ok());
  std::ostringstream out, err;
  const int status = runConvertCommand(
      {score, path("s.wav"), "--parts", "1", "--bars", "1-1", "--soundfont", kSmallSoundFont}, out,
      err, exportWav);
  EXPECT_EQ(status, kConvertOk) << err.str();
  const Wav w = readWav(path("s.wav"));
  EXPECT_NEAR(dominantFrequency(w.mono, at(0.05), kRate, 300, 600), 440.0, 4.0);

  // A soundfont that will not load is a file failure, reported by name.
  std::ostringstream err2;
  EXPECT_EQ(runConvertCommand({score, path("t.wav"), "--soundfont", path("bad.sf2")}, out, err2,
                              exportWav),
            kConvertFileFailed);
  EXPECT_NE(err2.str().find("bad.sf2"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path("t.wav")));
}

TEST(AudioRender, WavHeaderDescribesSixteenBitStereo) {
  const std::vector<uint8_t> h = wavHeader(10, 44100);
  ASSERT_EQ(h.size(), 44u);
  EXPECT_EQ(le(h, 4, 4), 36u + 40u);
  EXPECT_EQ(le(h, 28, 4), 44100u * 4u);
  EXPECT_EQ(le(h, 32, 2), 4u);
  EXPECT_EQ(le(h, 40, 4), 40u);
}

}  // namespace
}  // namespace kelvara::testing
