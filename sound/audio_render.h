#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "sound/midi_song.h"

namespace kelvara {

struct AudioRenderOptions {
  // A soundfont the user named; when given it must load (no other is used).
  std::string namedSoundFont;
  // Installed soundfonts, best first, tried when none is named.
  std::vector<std::string> soundFonts;
  int sampleRate = 44100;
  // Sound after the last message, so the last notes can ring out.
  double tailSeconds = 2.0;
  // Threads to render with; the same sound whatever the number.
  int cpuCores = 1;
};

// Takes interleaved 16-bit stereo frames as they are rendered (left, right,
// left, ...). Returns false to give up.
using AudioSink = std::function<bool(std::span<const int16_t> frames)>;

// Plays a song on the built-in synthesizer without an audio device, as fast
// as it can render, and hands the audio to `sink` in order. The timing is the
// player's: every message lands on the sample of its time. Returns an error
// text, empty when the song was rendered.
std::string renderSongAudio(const MidiSong& song, const AudioRenderOptions& options,
                            const AudioSink& sink);

// Frames renderSongAudio gives for a song: its length plus the tail.
int64_t renderedFrames(const MidiSong& song, const AudioRenderOptions& options);

// The 44-byte header of a 16-bit stereo PCM WAV file holding `frames` frames.
std::vector<uint8_t> wavHeader(int64_t frames, int sampleRate);

// The most frames a WAV file can hold (its sizes are 32-bit).
int64_t maxWavFrames();

}  // namespace kelvara
