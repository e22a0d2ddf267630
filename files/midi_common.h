#pragma once

#include <algorithm>
#include <cstdint>

#include "files/byte_writer.h"
#include "score/editor_state.h"

namespace kelvara {

// Every MIDI file the program writes: format 1, 960 ticks per quarter note,
// so one 64th is 60 ticks.
constexpr int32_t kTicksPerQuarter = 960;
constexpr int32_t kTicksPer64th = 60;
// End of Track follows the last event after 14 400 ticks (F0 40 as a delta).
constexpr uint32_t kEndOfTrackDelta = 14400;

// A MIDI data byte holds 0..127; larger or negative values are clamped so a
// value never spills into the status bit.
inline uint8_t dataByte(int64_t v) {
  return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 127));
}

// Microseconds per quarter note for the tempo event: trunc(60 000 000 / Tempo),
// kept inside the event's three bytes. A tempo of 0 or below counts as 120.
inline uint32_t tempoMicroseconds(int32_t tempo) {
  if (tempo <= 0) tempo = 120;
  return static_cast<uint32_t>(std::clamp<int64_t>(60000000 / tempo, 1, 0xFFFFFF));
}

// The time signature's denominator as the power of two the event stores
// (1, 2, 3 for 2, 4, 8). A denominator that is no power of two cannot be
// expressed and is written as a quarter (2).
inline uint8_t timeSigPower(int32_t timeDen) {
  for (uint8_t k = 0; k < 8; ++k) {
    if (timeDen == (1 << k)) return k;
  }
  return 2;
}

// Key signature byte: 7 - KeySig sharps (negative: flats), within -7..7.
inline uint8_t keySigByte(int32_t keySig) {
  return static_cast<uint8_t>(static_cast<int8_t>(std::clamp<int32_t>(7 - keySig, -7, 7)));
}

inline void writeHeaderChunk(ByteWriter& w, int tracks) {
  w.text("MThd");
  w.u32be(6);
  w.u16be(1);
  w.u16be(static_cast<uint32_t>(tracks));
  w.u16be(kTicksPerQuarter);
}

// The events both MIDI writers begin a track with (24 bytes): program
// change, key signature, time signature and tempo, all at delta 0.
inline void writeTrackPreamble(ByteWriter& w, const EditorState& s, int part) {
  const uint8_t program[] = {0x00, static_cast<uint8_t>(0xC0 + part),
                             dataByte(s.PartProgram[part])};
  const uint8_t key[] = {
      0x00, 0xFF, 0x59, 0x02, keySigByte(s.KeySig), s.Major == 0 ? uint8_t{1} : uint8_t{0}};
  const uint8_t time[] = {0x00,
                          0xFF,
                          0x58,
                          0x04,
                          static_cast<uint8_t>(std::clamp<int32_t>(s.TimeNum, 0, 255)),
                          timeSigPower(s.TimeDen),
                          0x18,
                          0x08};
  w.append(program, sizeof program);
  w.append(key, sizeof key);
  w.append(time, sizeof time);
  const uint8_t tempo[] = {0x00, 0xFF, 0x51, 0x03};
  w.append(tempo, sizeof tempo);
  w.u24be(tempoMicroseconds(s.Tempo));
}

inline void writeEndOfTrack(ByteWriter& w) {
  w.vlq(kEndOfTrackDelta);
  const uint8_t end[] = {0xFF, 0x2F, 0x00};
  w.append(end, sizeof end);
}

}  // namespace kelvara
