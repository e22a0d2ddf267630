// Import of a large Standard MIDI file as another program writes it: ten
// tracks of 2 000 bars of 4/4 at 480 ticks per quarter (120 000 notes),
// running status, note-offs as note-on velocity 0, every onset a few ticks
// off the grid; each bar a two-note chord, an eighth-note triplet and a half
// note. The time is the whole import from bytes in memory to the records
// handed to a fresh score (making and freeing that score is not timed).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "files/byte_writer.h"
#include "files/midi_import.h"
#include "score/editor_state.h"

namespace kelvara {
namespace {

constexpr int kTracks = 10;
constexpr int kBars = 2000;
constexpr int kQuarter = 480;

struct Event {
  int64_t tick;
  uint8_t status, key, velocity;
};

std::vector<uint8_t> largeForeignFile() {
  std::vector<uint8_t> out;
  out.reserve(size_t{2} << 20);
  ByteWriter w(out);
  w.text("MThd");
  w.u32be(6);
  w.u16be(1);
  w.u16be(kTracks);
  w.u16be(kQuarter);
  for (int t = 0; t < kTracks; ++t) {
    std::vector<Event> events;
    const auto on = static_cast<uint8_t>(0x90 + t);
    auto note = [&](int64_t start, int64_t length, int key) {
      const int64_t wobble = (start * 7 + key) % 7 - 3;  // -3 .. 3 ticks
      const int64_t at = std::max<int64_t>(start + wobble, 0);
      events.push_back({at, on, static_cast<uint8_t>(key), 80});
      events.push_back({at + length - 10, on, static_cast<uint8_t>(key), 0});
    };
    const int base = 40 + 4 * t;
    for (int bar = 0; bar < kBars; ++bar) {
      const int64_t b = int64_t{bar} * 4 * kQuarter;
      note(b, kQuarter, base + 7);
      note(b, kQuarter, base);
      for (int k = 0; k < 3; ++k) note(b + kQuarter + k * kQuarter / 3, kQuarter / 3, base + 2 * k);
      note(b + 2 * kQuarter, 2 * kQuarter, base + 4);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    std::vector<uint8_t> body;
    body.reserve(events.size() * 4);
    ByteWriter tw(body);
    int64_t now = 0;
    uint8_t running = 0;
    for (const Event& e : events) {
      tw.vlq(static_cast<uint32_t>(e.tick - now));
      now = e.tick;
      if (e.status != running) {
        const uint8_t s[] = {e.status};
        tw.append(s, 1);
        running = e.status;
      }
      const uint8_t d[] = {e.key, e.velocity};
      tw.append(d, 2);
    }
    const uint8_t end[] = {0x00, 0xFF, 0x2F, 0x00};
    tw.append(end, 4);
    w.text("MTrk");
    w.u32be(static_cast<uint32_t>(body.size()));
    w.append(body.data(), body.size());
  }
  return out;
}

void BM_MidiImportLarge(benchmark::State& state) {
  const std::vector<uint8_t> bytes = largeForeignFile();
  int64_t groups = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto* s = new EditorState;
    s->createLists();
    state.ResumeTiming();
    const LoadResult r = decodeMidiImport(*s, bytes, "large.mid");
    if (!r.ok()) state.SkipWithError(r.message.c_str());
    state.PauseTiming();
    // The triplets came in as triplets.
    groups = 0;
    for (const TOnpu* head : s->PartHead) {
      for (const TOnpu* n = head; n != nullptr; n = n->Next) groups += n->RenIndex == 1 ? 1 : 0;
    }
    delete s;
    state.ResumeTiming();
  }
  state.counters["tuplet_groups"] = static_cast<double>(groups);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
  state.counters["notes"] = kTracks * kBars * 6;
}

BENCHMARK(BM_MidiImportLarge)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kelvara

BENCHMARK_MAIN();
