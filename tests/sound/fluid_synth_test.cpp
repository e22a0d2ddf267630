// The built-in synthesizer, rendered offline: what is heard, not which calls
// were made.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "sound/fluid_synth_output.h"
#include "sound/part_voices.h"
#include "sound/sound_devices.h"
#include "sound/soundfont_search.h"
#include "synth_render.h"

namespace kelvara::testing {
namespace {

constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

constexpr int kFlute = 73;
constexpr int kOrgan = 16;
constexpr int kPiano = 0;
constexpr int kSquareWave = 80;
constexpr int kSnare = 38;

uint32_t programChange(int channel, int program) {
  return packShortMessage(0xC0u + static_cast<uint32_t>(channel), static_cast<uint32_t>(program),
                          0);
}

class Synth : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSmallSoundFont)) GTEST_SKIP() << "no " << kSmallSoundFont;
  }

  static std::unique_ptr<FluidSynthOutput> offline() {
    FluidSynthOptions o;
    o.soundFonts = {kSmallSoundFont};
    o.realtime = false;
    auto synth = std::make_unique<FluidSynthOutput>(o);
    EXPECT_TRUE(synth->midiOutOpen(0));
    return synth;
  }

  // One note of `program` held for `seconds`, in a fresh synthesizer.
  static std::vector<float> note(int program, int key, double seconds) {
    auto synth = offline();
    synth->midiOutShortMsg(programChange(0, program));
    synth->midiOutShortMsg(noteOnMessage(0, key, 100));
    return renderSeconds(*synth, seconds);
  }

  static constexpr int kRate = 48000;
  static constexpr size_t kSettled = kRate / 5;  // past the attack
};

TEST_F(Synth, NoteOnSoundsAtTheKeysPitch) {
  // The square wave's fundamental is its strongest partial, so the strongest
  // frequency is the pitch; a semitone off is 6 % away.
  for (int key : {48, 60, 69, 84}) {
    const std::vector<float> s = note(kSquareWave, key, 0.6);
    ASSERT_GT(rms(s), 1e-3) << "key " << key << " is silent";
    const double expected = keyFrequency(key);
    EXPECT_NEAR(dominantFrequency(s, kSettled, kRate, 100, 2000), expected, expected * 0.01)
        << "key " << key;
  }
}

TEST_F(Synth, PercussionChannelPlaysTheDrumKitWhateverItsProgram) {
  auto synth = offline();
  // A loaded file may give the percussion part any program; channel 10
  // still plays a drum kit (bank 128), never a melodic voice.
  for (int program : {0, 5, 127}) {
    synth->midiOutShortMsg(programChange(kPercussionChannel, program));
    renderSeconds(*synth, 0.01);
    EXPECT_EQ(synth->channelPreset(kPercussionChannel).first, 128) << "program " << program;
  }
  EXPECT_NE(synth->channelPreset(0).first, 128);

  synth->midiOutShortMsg(noteOnMessage(kPercussionChannel, kSnare, 100));
  const std::vector<float> hit = renderSeconds(*synth, 0.3);
  EXPECT_GT(rms(hit), 1e-3);
}

TEST_F(Synth, VelocityZeroNoteOnEndsTheNote) {
  // An organ sustains as long as its key is held, so silence can only come
  // from the note-off.
  auto held = offline();
  held->midiOutShortMsg(programChange(0, kOrgan));
  held->midiOutShortMsg(noteOnMessage(0, 60, 100));
  const std::vector<float> holding = renderSeconds(*held, 2.0);

  auto released = offline();
  released->midiOutShortMsg(programChange(0, kOrgan));
  released->midiOutShortMsg(noteOnMessage(0, 60, 100));
  const std::vector<float> before = renderSeconds(*released, 0.5);
  released->midiOutShortMsg(noteOnMessage(0, 60, 0));
  const std::vector<float> after = renderSeconds(*released, 1.5);

  const double level = rms(before, 0.5, 1.0);
  ASSERT_GT(level, 1e-3);
  EXPECT_GT(rms(holding, 0.9, 1.0), level * 0.5) << "the held note should still sound";
  EXPECT_LT(rms(after, 0.85, 1.0), level * 0.01) << "the note should have ended";
}

TEST_F(Synth, ProgramChangeChangesTheSound) {
  const int key = 69;
  const double f0 = keyFrequency(key);
  const auto profile = [&](int program) {
    return harmonicProfile(note(program, key, 0.6), kSettled, kRate, f0, 8);
  };
  const std::vector<double> piano = profile(kPiano);
  // Rendering is repeatable, so the same voice gives the same profile ...
  EXPECT_LT(profileDistance(piano, profile(kPiano)), 0.02);
  // ... and another voice a clearly different one.
  EXPECT_GT(profileDistance(piano, profile(kSquareWave)), 0.3);
  EXPECT_GT(profileDistance(piano, profile(kFlute)), 0.3);
}

TEST_F(Synth, ClosingEndsEveryNoteAndDropsLaterMessages) {
  auto synth = offline();
  synth->midiOutShortMsg(programChange(0, kOrgan));
  synth->midiOutShortMsg(packShortMessage(0xB0, 64, 127));  // sustain pedal down
  synth->midiOutShortMsg(noteOnMessage(0, 60, 100));
  synth->midiOutShortMsg(noteOnMessage(kPercussionChannel, 49, 100));  // a long cymbal
  ASSERT_GT(rms(renderSeconds(*synth, 0.3)), 1e-3);

  synth->midiOutClose();
  synth->midiOutShortMsg(noteOnMessage(0, 64, 100));  // while closed: not played
  const std::vector<float> after = renderSeconds(*synth, 2.0);
  EXPECT_LT(rms(after, 0.9, 1.0), 1e-5);
  EXPECT_FALSE(synth->isOpen());
}

TEST_F(Synth, SoundFontIsChosenOnceAndNamedInTheDeviceList) {
  const std::filesystem::path bogus =
      std::filesystem::path(::testing::TempDir()) / "kelvara-not-a-soundfont.sf2";
  std::ofstream(bogus) << "not a soundfont";

  FluidSynthOptions o;
  o.realtime = false;
  o.namedSoundFont = bogus.string();
  o.soundFonts = {"/nonexistent/FluidR3_GM.sf2", kSmallSoundFont};
  FluidSynthOutput synth(o);
  EXPECT_EQ(synth.soundFont(), kSmallSoundFont);
  const std::string notice = synth.takeNotice();
  EXPECT_NE(notice.find(bogus.string()), std::string::npos) << notice;
  EXPECT_NE(notice.find(kSmallSoundFont), std::string::npos) << notice;
  EXPECT_EQ(synth.takeNotice(), "");

  const std::string name = synth.midiOutGetDevCaps(0);
  EXPECT_NE(name.find("TimGM6mb"), std::string::npos);
  EXPECT_EQ(name, cutDeviceName(name));
  EXPECT_EQ(synth.midiOutGetDevCaps(1), "");
  EXPECT_FALSE(synth.midiOutOpen(1));
}

TEST_F(Synth, WithoutSoundFontItIsSilentAndSaysSoOnce) {
  FluidSynthOptions o;
  o.realtime = false;
  o.soundFonts = {"/nonexistent/FluidR3_GM.sf2"};
  FluidSynthOutput synth(o);
  EXPECT_EQ(synth.soundFont(), "");
  EXPECT_FALSE(synth.midiOutOpen(0));
  synth.midiOutShortMsg(noteOnMessage(0, 60, 100));
  std::vector<float> l(256), r(256);
  synth.render(l.data(), r.data(), 256);
  EXPECT_LT(rms(l), 1e-6);
  EXPECT_NE(synth.takeNotice().find("KELVARA_SOUNDFONT"), std::string::npos);
  EXPECT_FALSE(synth.midiOutOpen(0));
  EXPECT_EQ(synth.takeNotice(), "");
}

TEST_F(Synth, WithoutAudioDeviceItIsSilentSaysSoOnceAndKeepsWorking) {
  FluidSynthOptions o;
  o.soundFonts = {kSmallSoundFont};
  o.audioDrivers = {"no-such-driver"};
  FluidSynthOutput synth(o);
  EXPECT_FALSE(synth.midiOutOpen(0));
  EXPECT_FALSE(synth.audioRunning());
  // Far more notes than the synthesizer has voices or queue room: with no
  // audio thread to take them, they must be dropped, not piled up.
  for (int i = 0; i < 5000; ++i) {
    synth.midiOutShortMsg(noteOnMessage(i % 11, 40 + i % 40, 100));
  }
  synth.midiOutClose();
  const std::string notice = synth.takeNotice();
  EXPECT_NE(notice.find("音声出力装置"), std::string::npos);
  // One language: the audio library's own English reason stays out of it.
  EXPECT_EQ(notice.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << notice;
  EXPECT_FALSE(synth.midiOutOpen(0));
  EXPECT_EQ(synth.takeNotice(), "");
}

TEST_F(Synth, BackgroundLoadKeepsTheProgramsAndOpensOnceLoaded) {
  FluidSynthOptions o;
  o.realtime = false;
  o.soundFonts = {kSmallSoundFont};
  o.loadInBackground = true;
  FluidSynthOutput synth(o);
  EXPECT_TRUE(synth.midiOutOpen(0)) << "an opening asked for while loading takes place later";
  synth.midiOutShortMsg(programChange(0, kSquareWave));
  synth.midiOutShortMsg(programChange(3, kFlute));
  EXPECT_EQ(synth.soundFont(), kSmallSoundFont);  // waits for the load
  EXPECT_FALSE(synth.preparing());
  EXPECT_TRUE(synth.isOpen());
  EXPECT_EQ(synth.channelPreset(0), std::make_pair(0, kSquareWave));
  EXPECT_EQ(synth.channelPreset(3), std::make_pair(0, kFlute));
  synth.midiOutShortMsg(noteOnMessage(0, 60, 100));
  EXPECT_GT(rms(renderSeconds(synth, 0.3)), 1e-3) << "plays once loaded";
  EXPECT_EQ(synth.takeNotice(), "");
}

TEST_F(Synth, BackgroundLoadWithoutSoundFontSaysSoAndStaysClosed) {
  FluidSynthOptions o;
  o.realtime = false;
  o.soundFonts = {"/nonexistent/FluidR3_GM.sf2"};
  o.loadInBackground = true;
  FluidSynthOutput synth(o);
  synth.midiOutOpen(0);
  EXPECT_EQ(synth.soundFont(), "");
  EXPECT_FALSE(synth.isOpen());
  const std::string notice = synth.takeNotice();
  EXPECT_NE(notice.find("KELVARA_SOUNDFONT"), std::string::npos);
  EXPECT_EQ(notice.find("保存"), std::string::npos) << "claims nothing about saving";
}

TEST_F(Synth, SystemOutputStartsAndPlaysOnAMachineWithoutSound) {
  // The whole device list as the program makes it, on a machine with no
  // audio device (forced here), the soundfont named by the environment.
  setenv(kSoundFontVariable, kSmallSoundFont, 1);
  // The file driver is never started: it wrote fluidsynth.wav into the
  // working folder.
  setenv(kAudioDriverVariable, "file,none", 1);
  const std::filesystem::path workingFolder = std::filesystem::current_path();
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("kelvara-driver-" + std::to_string(::getpid()));
  std::filesystem::create_directories(scratch);
  std::filesystem::current_path(scratch);
  std::unique_ptr<MidiOutput> out = createSystemMidiOutput(std::nullopt);
  unsetenv(kSoundFontVariable);
  unsetenv(kAudioDriverVariable);

  ASSERT_GE(out->midiOutGetNumDevs(), 1);  // the synthesizer, then any ALSA ports
  EXPECT_NE(out->midiOutGetDevCaps(0).find("TimGM6mb"), std::string::npos);
  std::array<int32_t, kMidiParts> programs{};
  EXPECT_EQ(reopenMidiOutput(*out, 99, programs, ProgramChanges::AllChannels, false), 0);
  out->midiOutShortMsg(noteOnMessage(0, 60, 100));
  out->midiOutShortMsg(noteOnMessage(0, 60, 0));
  reopenMidiOutput(*out, 0, programs, ProgramChanges::MelodicChannels);
  out->midiOutClose();
  EXPECT_NE(out->takeNotice().find("音声出力装置"), std::string::npos);
  EXPECT_EQ(out->takeNotice(), "");
  out.reset();
  std::filesystem::current_path(workingFolder);
  EXPECT_TRUE(std::filesystem::is_empty(scratch));
  std::filesystem::remove_all(scratch);
}

}  // namespace
}  // namespace kelvara::testing
