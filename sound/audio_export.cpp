#include "sound/audio_export.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

#include "files/atomic_write.h"
#include "files/midi_export.h"
#include "score/ui_text.h"
#include "sound/audio_render.h"
#include "sound/midi_song.h"
#include "sound/soundfont_search.h"

namespace kelvara {

namespace {

FileResult cannotCreate(const std::string& path, const std::string& reason) {
  return FileResult::failure(
      FileError::CannotCreate,
      fillText(uiText("kelvara::Sound", "ファイル %1 を作成できません（%2）"), {path, reason}));
}

}  // namespace

FileResult exportWav(const EditorState& s, int32_t fromBar, int32_t toBar,
                     const std::string& output, const std::string& soundFont) {
  std::vector<uint8_t> midi;
  FileResult encoded = encodeMidiExport(s, fromBar, toBar, output, midi);
  if (!encoded.ok()) return encoded;
  const MidiSongResult read = readMidiSong(midi, output);
  if (!read.ok()) return FileResult::failure(FileError::Unwritable, read.error);

  AudioRenderOptions options;
  options.namedSoundFont =
      namedSoundFont(soundFont.empty() ? std::nullopt : std::optional<std::string>(soundFont),
                     std::getenv(kSoundFontVariable));
  options.soundFonts = findSoundFonts(systemSoundFontFolders());
  options.cpuCores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  const int64_t frames = renderedFrames(read.song, options);
  if (frames > maxWavFrames())
    return cannotCreate(output, uiText("kelvara::Sound", "WAV ファイルに収まらない長さです"));

  AtomicFile file(output);
  if (!file.ok()) return FileResult::failure(FileError::CannotCreate, file.error());
  file.write(wavHeader(frames, options.sampleRate));
  const std::string rendered =
      renderSongAudio(read.song, options, [&](std::span<const int16_t> samples) {
        // WAV samples are little-endian, as this machine's are.
        return file.write(
            std::span(reinterpret_cast<const uint8_t*>(samples.data()), samples.size_bytes()));
      });
  if (!file.ok()) return FileResult::failure(FileError::CannotCreate, file.error());
  if (!rendered.empty()) return cannotCreate(output, rendered);
  if (std::string error = file.commit(); !error.empty()) {
    return FileResult::failure(FileError::CannotCreate, std::move(error));
  }
  return {};
}

}  // namespace kelvara
