#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sound/midi_output.h"

namespace kelvara {

struct FluidSynthOptions {
  // A soundfont the user named; tried first. A file that does not load is
  // reported and the search goes on with the installed ones.
  std::string namedSoundFont;
  // Installed soundfonts, best first; the first that loads is used.
  std::vector<std::string> soundFonts;
  // Play through an audio driver once opened. Off: no driver is started and
  // render() pulls the audio (tests, benchmarks).
  bool realtime = true;
  // Audio drivers to try, in order.
  std::vector<std::string> audioDrivers = {"pulseaudio", "alsa"};
  // A short buffer so that a key press is heard at once: two periods of 128
  // frames at 48 kHz hold 5.3 ms of sound.
  int sampleRate = 48000;
  int periodSize = 128;  // frames per audio period
  int periods = 2;       // periods in the audio buffer
  // Load a sample only when a program that plays it is chosen (by a program
  // change, in the thread that sends it), not the whole soundfont up front:
  // quicker to start and far less memory. Samples no channel uses any more
  // are let go.
  bool loadSamplesOnUse = false;
  // Threads the synthesizer renders its voices with.
  int cpuCores = 1;
  // Load the soundfont on a thread of its own so that the window can show
  // meanwhile (a full General MIDI set takes a tenth of a second and more).
  // Until it is loaded, note messages are dropped (nothing can sound yet);
  // every other message (programs, volumes, pans) is kept and applied once
  // it is loaded, and an opening asked for meanwhile takes place then.
  bool loadInBackground = false;
};

// The built-in synthesizer: FluidSynth with a General MIDI soundfont, as one
// output device. The soundfont is loaded when the output is made (or on a
// thread started then), never when a message is sent. Channel 9 (MIDI channel 10) always plays the
// soundfont's drum kits. Without a soundfont, or without any audio device,
// it stays silent and says so once.
class FluidSynthOutput : public MidiOutput {
 public:
  explicit FluidSynthOutput(FluidSynthOptions options);
  ~FluidSynthOutput() override;
  FluidSynthOutput(const FluidSynthOutput&) = delete;
  FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

  int midiOutGetNumDevs() override { return 1; }
  std::string midiOutGetDevCaps(int device) override;
  // Opens the synthesizer; in real time this starts the audio driver the
  // first time. False when nothing can be heard (no soundfont, no audio).
  bool midiOutOpen(int device) override;
  void midiOutShortMsg(uint32_t message) override;
  // Silences every note and stops taking messages. The audio driver keeps
  // running, ready for the next opening.
  void midiOutClose() override;
  std::string takeNotice() override;
  bool preparing() const override;

  // The soundfont file in use; empty when none could be loaded. This and the
  // device name wait for a background load to end.
  const std::string& soundFont() const;
  bool isOpen() const;
  bool audioRunning() const;
  const FluidSynthOptions& options() const;

  // The longest wait, in milliseconds, from a message to its sound leaving
  // the synthesizer: a message is taken into the next period rendered, which
  // is played after the periods already in the buffer, so at most
  // periods x period size / sample rate. A sound server may add its own.
  double latencyBoundMs() const;

  // Offline only (realtime off): renders `frames` frames of stereo audio at
  // sampleRate into the two buffers, applying the messages sent before.
  void render(float* left, float* right, int frames);

  // The bank and program sounding on a channel; bank 128 holds the drum kits.
  std::pair<int, int> channelPreset(int channel) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kelvara
