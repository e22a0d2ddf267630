#include "sound/audio_render.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "score/ui_text.h"
#include "sound/fluid_synth_output.h"

namespace kelvara {

namespace {

constexpr int kBlockFrames = 4096;
constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;
constexpr int64_t kWavHeaderBytes = 44;
// Beyond any audio file (about twelve days): frame numbers stay far from
// overflowing.
constexpr int64_t kLongestSongMicros = int64_t{1} << 40;

int64_t frameAt(int64_t micros, int sampleRate) {
  return micros * sampleRate / 1000000;
}

int16_t toSample(float v) {
  const float scaled = std::clamp(v, -1.0f, 1.0f) * 32767.0f;
  return static_cast<int16_t>(std::lrint(scaled));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void putText(std::vector<uint8_t>& out, const char* text) {
  out.insert(out.end(), text, text + 4);
}

}  // namespace

int64_t renderedFrames(const MidiSong& song, const AudioRenderOptions& options) {
  if (song.lengthMicros > kLongestSongMicros) return std::numeric_limits<int64_t>::max();
  const auto tail = static_cast<int64_t>(std::max(options.tailSeconds, 0.0) * options.sampleRate);
  return frameAt(song.lengthMicros, options.sampleRate) + tail;
}

int64_t maxWavFrames() {
  return (int64_t{std::numeric_limits<uint32_t>::max()} - kWavHeaderBytes) /
         (kChannels * kBytesPerSample);
}

std::vector<uint8_t> wavHeader(int64_t frames, int sampleRate) {
  const auto dataBytes = static_cast<uint32_t>(frames * kChannels * kBytesPerSample);
  std::vector<uint8_t> h;
  h.reserve(kWavHeaderBytes);
  putText(h, "RIFF");
  put32(h, dataBytes + 36);
  putText(h, "WAVE");
  putText(h, "fmt ");
  put32(h, 16);  // PCM format block
  put16(h, 1);   // integer PCM
  put16(h, kChannels);
  put32(h, static_cast<uint32_t>(sampleRate));
  put32(h, static_cast<uint32_t>(sampleRate * kChannels * kBytesPerSample));  // bytes per second
  put16(h, kChannels * kBytesPerSample);                                      // bytes per frame
  put16(h, 8 * kBytesPerSample);                                              // bits per sample
  putText(h, "data");
  put32(h, dataBytes);
  return h;
}

std::string renderSongAudio(const MidiSong& song, const AudioRenderOptions& options,
                            const AudioSink& sink) {
  if (song.lengthMicros > kLongestSongMicros)
    return uiText("kelvara::Sound", "曲が長すぎて音声にできません");
  FluidSynthOptions synthOptions;
  synthOptions.realtime = false;
  synthOptions.sampleRate = options.sampleRate;
  synthOptions.loadSamplesOnUse = true;
  synthOptions.cpuCores = options.cpuCores;
  if (options.namedSoundFont.empty()) {
    synthOptions.soundFonts = options.soundFonts;
  } else {
    synthOptions.soundFonts = {options.namedSoundFont};
  }
  FluidSynthOutput synth(std::move(synthOptions));
  if (synth.soundFont().empty()) {
    if (!options.namedSoundFont.empty()) {
      return fillText(uiText("kelvara::Sound", "音色ファイル %1 を読み込めません"),
                      {options.namedSoundFont});
    }
    // Found but not loaded: a memory limit too low for it, or a broken file.
    if (!options.soundFonts.empty()) {
      return fillText(
          uiText("kelvara::Sound",
                 "音色ファイル %1 を読み込めません（メモリが足りないか、ファイルが壊れています）"),
          {options.soundFonts.front()});
    }
    return uiText("kelvara::Sound",
                  "音色ファイル (SoundFont) が見つかりません。--soundfont で指定してください");
  }
  if (!synth.midiOutOpen(0)) return uiText("kelvara::Sound", "内蔵シンセサイザーを開けません");
  synth.takeNotice();

  std::vector<float> left(kBlockFrames), right(kBlockFrames);
  std::vector<int16_t> block(static_cast<size_t>(kBlockFrames) * kChannels);
  int64_t done = 0;
  bool stopped = false;
  auto renderTo = [&](int64_t frame) {
    while (!stopped && done < frame) {
      const int n = static_cast<int>(std::min<int64_t>(kBlockFrames, frame - done));
      synth.render(left.data(), right.data(), n);
      for (int i = 0; i < n; ++i) {
        block[static_cast<size_t>(2 * i)] = toSample(left[static_cast<size_t>(i)]);
        block[static_cast<size_t>(2 * i + 1)] = toSample(right[static_cast<size_t>(i)]);
      }
      if (!sink(std::span<const int16_t>(block.data(), static_cast<size_t>(2 * n)))) stopped = true;
      done += n;
    }
  };
  for (const TimedMessage& m : song.messages) {
    renderTo(frameAt(m.micros, options.sampleRate));
    if (stopped) break;
    synth.midiOutShortMsg(m.message);
  }
  renderTo(renderedFrames(song, options));
  synth.midiOutClose();
  return stopped ? uiText("kelvara::Sound", "音声の書き出しを中断しました") : std::string();
}

}  // namespace kelvara
