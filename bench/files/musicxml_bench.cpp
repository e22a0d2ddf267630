// MusicXML export and import of a 10-part, 2 000-bar 4/4 score: per bar a
// chord over both staves, a triplet of eighths, a dotted quarter and a rest
// (12 000 records a part, 120 000 in all). The file calls include the disk.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "files/musicxml_export.h"
#include "files/musicxml_import.h"
#include "score/editor_state.h"
#include "score/part_list.h"

namespace kelvara {
namespace {

constexpr int kBars = 2000;

void buildScore(EditorState& s) {
  s.createLists();
  for (int item = 0; item < 10; ++item) {
    const int p = partForListItem(item);
    TOnpu* end = endMarkerOf(s.PartHead[p]);
    for (int bar = 0; bar < kBars; ++bar) {
      const int32_t base = 50 + (bar * 5 + p) % 24;
      TOnpu* chord = makeRecord(base + 12, 16, 1);
      chord->Pitch[1] = base + 4;
      chord->Pitch[2] = base - 8;
      chord->LastIndex = 2;
      chord->Velocity = 80 + bar % 40;
      linkBefore(end, chord);
      for (int i = 1; i <= 3; ++i) {
        TOnpu* r = makeRecord(base + i, 8, 1);
        r->RenIndex = i;
        r->RenCount = 3;
        r->RenLength = 16;
        linkBefore(end, r);
      }
      linkBefore(end, makeRecord(base + 1 + bar % 3, 24, 1));
      linkBefore(end, makeRecord(0, 8, 1));
    }
  }
}

std::string scratch(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("kelvara-bench-" + std::to_string(::getpid()) + "-" + name))
      .string();
}

void BM_MusicXmlEncode(benchmark::State& state) {
  EditorState s;
  buildScore(s);
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = encodeMusicXml(s, "bench");
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_MusicXmlEncode)->Unit(benchmark::kMillisecond);

void BM_MusicXmlSave(benchmark::State& state, const char* kind) {
  EditorState s;
  buildScore(s);
  const std::string file = scratch(std::string("out") + kind);
  for (auto _ : state) {
    if (!saveMusicXml(s, file).ok()) state.SkipWithError("save failed");
  }
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(file)) / (1024.0 * 1024.0);
  std::filesystem::remove(file);
}
BENCHMARK_CAPTURE(BM_MusicXmlSave, plain, ".musicxml")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_MusicXmlSave, compressed, ".mxl")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_MusicXmlLoad(benchmark::State& state, const char* kind) {
  EditorState s;
  buildScore(s);
  const std::string file = scratch(std::string("in") + kind);
  if (!saveMusicXml(s, file).ok()) state.SkipWithError("save failed");
  for (auto _ : state) {
    EditorState back;
    back.createLists();
    const LoadResult r = loadMusicXml(back, file);
    if (!r.ok()) state.SkipWithError(r.message.c_str());
  }
  std::filesystem::remove(file);
}
BENCHMARK_CAPTURE(BM_MusicXmlLoad, plain, ".musicxml")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_MusicXmlLoad, compressed, ".mxl")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace kelvara

BENCHMARK_MAIN();
