// Save, load and export speed of a large score: 11 parts x 2 000 bars of 4/4
// eighth notes (176 000 records), every fourth note with a vibrato tail.
// Rates are bytes of file written or read per second (wall-clock time for
// the calls that touch the disk, which includes flushing the file); peak_MB is the most
// memory held at once during one call beyond what was held before it, and
// records_MB the score's own records for comparison.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "files/atomic_write.h"
#include "files/midi_export.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "score/editor_state.h"
#include "score/part_list.h"

// ---- allocation accounting (this executable only) ----
namespace {
std::atomic<int64_t> liveBytes{0};
std::atomic<int64_t> peakBytes{0};

void* countedAlloc(size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  const int64_t now = liveBytes += static_cast<int64_t>(malloc_usable_size(p));
  int64_t peak = peakBytes.load();
  while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
  }
  return p;
}
void countedFree(void* p) {
  if (p == nullptr) return;
  liveBytes -= static_cast<int64_t>(malloc_usable_size(p));
  std::free(p);
}
}  // namespace

void* operator new(size_t n) {
  return countedAlloc(n);
}
void* operator new[](size_t n) {
  return countedAlloc(n);
}
void operator delete(void* p) noexcept {
  countedFree(p);
}
void operator delete[](void* p) noexcept {
  countedFree(p);
}
void operator delete(void* p, size_t) noexcept {
  countedFree(p);
}
void operator delete[](void* p, size_t) noexcept {
  countedFree(p);
}

namespace kelvara {
namespace {

constexpr int kBars = 2000;
constexpr int kNotesPerBar = 8;
constexpr double kMB = 1024.0 * 1024.0;

void buildScore(EditorState& s) {
  s.createLists();
  int n = 0;
  for (int p = 0; p < kPartCount; ++p) {
    TOnpu* end = endMarkerOf(s.PartHead[p]);
    for (int i = 0; i < kBars * kNotesPerBar; ++i, ++n) {
      const int32_t pitch = p == kPercussionPart ? 35 + i % 12 : 48 + (i * 7 + p) % 36;
      TOnpu* r = makeRecord(pitch, 8, 1);
      if (n % 4 == 3) {
        r->YoinType = 2;
        r->YoinStartNum = 1;
        r->YoinStartDen = 32;
        r->YoinAmount = 50;
        r->YoinPeriod = 4;
      }
      linkBefore(end, r);
    }
  }
}

// One large score shared by every benchmark.
EditorState& score() {
  static EditorState* s = [] {
    auto* st = new EditorState;
    buildScore(*st);
    return st;
  }();
  return *s;
}

std::string benchPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          ("kelvara-bench-" + std::to_string(::getpid()) + "-" + name))
      .string();
}

void report(benchmark::State& state, size_t bytes, int64_t peak) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
  state.counters["file_MB"] = static_cast<double>(bytes) / kMB;
  state.counters["peak_MB"] = static_cast<double>(peak) / kMB;
  state.counters["records_MB"] = kBars * kNotesPerBar * kPartCount * sizeof(TOnpu) / kMB;
}

// Runs one call per iteration and tracks the memory it holds at its peak.
template <typename Fn>
int64_t measured(Fn&& fn) {
  const int64_t before = liveBytes.load();
  peakBytes = before;
  fn();
  return peakBytes.load() - before;
}

template <typename Encode>
void encodeBench(benchmark::State& state, Encode encode) {
  EditorState& s = score();
  std::vector<uint8_t> out;
  int64_t peak = 0;
  for (auto _ : state) {
    peak = std::max(peak, measured([&] {
                      std::vector<uint8_t> bytes;
                      if (!encode(s, bytes).ok()) state.SkipWithError("encode failed");
                      benchmark::DoNotOptimize(bytes.data());
                      out.swap(bytes);
                    }));
  }
  report(state, out.size(), peak);
}

template <typename Save>
void saveBench(benchmark::State& state, const char* name, Save save) {
  EditorState& s = score();
  const std::string file = benchPath(name);
  int64_t peak = 0;
  for (auto _ : state) {
    peak = std::max(peak, measured([&] {
                      if (!save(s, file).ok()) state.SkipWithError("save failed");
                    }));
  }
  report(state, std::filesystem::file_size(file), peak);
  std::filesystem::remove(file);
}

// Reads a file written from the large score into a fresh, empty score each
// time (making and freeing that score is not timed).
template <typename Save, typename Load>
void loadBench(benchmark::State& state, const char* name, Save save, Load load) {
  const std::string file = benchPath(name);
  if (!save(score(), file).ok()) state.SkipWithError("save failed");
  int64_t peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto* t = new EditorState;
    t->createLists();
    state.ResumeTiming();
    peak = std::max(peak, measured([&] {
                      if (!load(*t, file).ok()) state.SkipWithError("load failed");
                    }));
    state.PauseTiming();
    delete t;
    state.ResumeTiming();
  }
  report(state, std::filesystem::file_size(file), peak);
  std::filesystem::remove(file);
}

FileResult zqf3Encode(const EditorState& s, std::vector<uint8_t>& b) {
  return encodeZqf3(s, 0, -1, "bench", b);
}
FileResult trackEncode(const EditorState& s, std::vector<uint8_t>& b) {
  return encodeTrackFile(s, 0, -1, "bench", b);
}
FileResult midiEncode(const EditorState& s, std::vector<uint8_t>& b) {
  return encodeMidiExport(s, 0, -1, "bench", b);
}
FileResult zqf3Save(const EditorState& s, const std::string& f) {
  return savedataplus2(s, f);
}
FileResult trackSave(const EditorState& s, const std::string& f) {
  return savedataplus(s, f);
}
FileResult midiSave(const EditorState& s, const std::string& f) {
  return savedataplus3(s, f);
}
LoadResult zqf3Load(EditorState& s, const std::string& f) {
  return loaddataplus2(s, f);
}
LoadResult trackLoad(EditorState& s, const std::string& f) {
  return loaddataplus(s, f, ".zqf2");
}

void BM_Zqf3Encode(benchmark::State& st) {
  encodeBench(st, zqf3Encode);
}
void BM_Zqf3Save(benchmark::State& st) {
  saveBench(st, "a.zqf3", zqf3Save);
}
void BM_Zqf3Load(benchmark::State& st) {
  loadBench(st, "b.zqf3", zqf3Save, zqf3Load);
}
void BM_Zqf2Encode(benchmark::State& st) {
  encodeBench(st, trackEncode);
}
void BM_Zqf2Save(benchmark::State& st) {
  saveBench(st, "a.zqf2", trackSave);
}
void BM_Zqf2Load(benchmark::State& st) {
  loadBench(st, "b.zqf2", trackSave, trackLoad);
}
void BM_MidiExportEncode(benchmark::State& st) {
  encodeBench(st, midiEncode);
}
void BM_MidiExportSave(benchmark::State& st) {
  saveBench(st, "a.mid", midiSave);
}

BENCHMARK(BM_Zqf3Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zqf3Save)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Zqf3Load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Zqf2Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zqf2Save)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Zqf2Load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MidiExportEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MidiExportSave)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kelvara

BENCHMARK_MAIN();
