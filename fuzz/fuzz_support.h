#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "score/editor_state.h"
#include "score/onpu.h"
#include "score/part_list.h"

namespace kelvara::fuzz {

// Ends the run with a message: libFuzzer keeps the input that got here.
[[noreturn]] inline void fail(const std::string& what) {
  std::fprintf(stderr, "property broken: %s\n", what.c_str());
  std::abort();
}

// Every value of the score a file can carry, as text, to compare two scores.
inline std::string describe(const EditorState& s) {
  std::string o = std::to_string(s.KeySig) + ' ' + std::to_string(s.Major) + ' ' +
                  std::to_string(s.TimeNum) + '/' + std::to_string(s.TimeDen) + ' ' +
                  std::to_string(s.Tempo);
  for (int p = 0; p < kPartCount; ++p) {
    o += "\n" + std::to_string(p) + ": " + std::to_string(s.PartProgram[p]) + ' ' +
         std::to_string(s.PartVolume[p]) + ' ' + std::to_string(s.PartPan[p]) + " |";
    for (const TOnpu* r = firstRecordOf(s.PartHead[p]); !isEndMarker(*r); r = r->Next) {
      o += " [";
      for (int32_t v : r->Pitch) o += std::to_string(v) + ',';
      for (int32_t v : r->AccDelta) o += std::to_string(v) + ',';
      for (int32_t v : {r->LastIndex, r->Width, r->Length, r->Velocity, r->LenNum, r->LenDen,
                        r->YoinType, r->YoinStartNum, r->YoinStartDen, r->YoinAmount, r->YoinPeriod,
                        r->RenIndex, r->RenCount, r->RenLength, int32_t{r->Closed}}) {
        o += std::to_string(v) + ',';
      }
      o += ']';
    }
  }
  return o;
}

// A score that already holds something, so that a failed load can be seen
// to leave it as it was.
inline void fillSample(EditorState& s) {
  s.createLists();
  for (int p : {0, 3, 10}) {
    linkBefore(endMarkerOf(s.PartHead[p]), makeRecord(60 + p, 16, 1));
    linkBefore(endMarkerOf(s.PartHead[p]), makeRecord(0, 8, 1));
  }
}

// Checks that bytes are a Standard MIDI File as our writers make them:
// chunk lengths that cover the file exactly, every track ending in End of
// Track, no running status, data bytes below 128, delta times of at most
// four bytes.
inline void checkMidi(std::span<const uint8_t> b, int tracks) {
  auto need = [&](size_t at, size_t n) {
    if (at + n > b.size()) fail("MIDI file cut short at byte " + std::to_string(at));
  };
  auto u32 = [&](size_t at) {
    need(at, 4);
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
  };
  need(0, 14);
  if (std::string(b.begin(), b.begin() + 4) != "MThd" || u32(4) != 6) fail("no MThd header");
  if (((b[10] << 8) | b[11]) != tracks) fail("track count");
  size_t pos = 14;
  for (int t = 0; t < tracks; ++t) {
    need(pos, 8);
    if (std::string(b.begin() + pos, b.begin() + pos + 4) != "MTrk") fail("no MTrk");
    const size_t end = pos + 8 + u32(pos + 4);
    need(pos + 8, end - pos - 8);
    size_t at = pos + 8;
    bool ended = false;
    while (at < end) {
      if (ended) fail("events after End of Track");
      int n = 0;
      while (true) {
        need(at, 1);
        if (++n > 4) fail("delta time over four bytes");
        if ((b[at++] & 0x80) == 0) break;
      }
      need(at, 1);
      const uint8_t status = b[at++];
      if (status < 0x80) fail("running status or stray data byte");
      if (status == 0xFF) {
        need(at, 2);
        const uint8_t type = b[at];
        const size_t len = b[at + 1];
        need(at + 2, len);
        at += 2 + len;
        ended = type == 0x2F;
        continue;
      }
      const int data = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
      need(at, data);
      for (int k = 0; k < data; ++k) {
        if (b[at + k] > 0x7F) fail("data byte above 127");
      }
      at += data;
    }
    if (at != end || !ended) fail("track does not end with End of Track");
    pos = end;
  }
  if (pos != b.size()) fail("bytes after the last track");
}

}  // namespace kelvara::fuzz
