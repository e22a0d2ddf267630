#include "files/score_builder.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "files/byte_reader.h"
#include "files/quantiser.h"
#include "score/ui_text.h"

namespace kelvara {

namespace {

constexpr int kMelodicParts = 10;
constexpr int32_t kHighestTempo = 65535;  // the whole-score file keeps 16 bits

std::string timeText(SourceTime t) {
  return std::to_string(t.num) + "/" + std::to_string(t.den);
}

bool compound(SourceTime t) {
  return t.den >= 8 && t.num > 3 && t.num % 3 == 0;
}

// A voice's notes and where they sit.
struct VoiceUse {
  int64_t notes = 0;
  double pitchSum = 0;
  double meanPitch() const { return notes > 0 ? pitchSum / static_cast<double>(notes) : 60; }
};

// Where the voices go.
struct PartAssignment {
  std::vector<int> partOf;    // per voice: its part, -1 for none
  std::vector<bool> merged;   // per voice: its notes went into another voice's part
  bool byPreference = false;  // every voice got the part it asked for
};

// Gives each voice with notes its part; voices beyond ten melodic ones go to
// the part of the kept voice nearest in mean pitch.
PartAssignment assignParts(const SourceScore& src, const std::vector<VoiceUse>& use,
                           ImportReport& report) {
  const size_t voices = src.voices.size();
  PartAssignment a;
  a.partOf.assign(voices, -1);
  a.merged.assign(voices, false);
  std::vector<int>& partOf = a.partOf;
  std::vector<size_t> melodic;
  for (size_t v = 0; v < voices; ++v) {
    if (use[v].notes == 0) continue;
    if (src.voices[v].percussion) {
      partOf[v] = kPercussionPart;
    } else {
      melodic.push_back(v);
    }
  }
  std::vector<size_t> kept = melodic;
  if (kept.size() > static_cast<size_t>(kMelodicParts)) {
    std::stable_sort(kept.begin(), kept.end(),
                     [&use](size_t a, size_t b) { return use[a].notes > use[b].notes; });
    kept.resize(kMelodicParts);
    std::sort(kept.begin(), kept.end());
  }
  // Every voice asks for a melodic part of its own: each gets it.
  PerPart<bool> asked{};
  bool preferred = true;
  for (size_t v : kept) {
    const int p = src.voices[v].preferredPart;
    if (p < 0 || p >= kPartCount || p == kPercussionPart || asked[p]) {
      preferred = false;
      break;
    }
    asked[p] = true;
  }
  for (size_t i = 0; i < kept.size(); ++i) {
    partOf[kept[i]] =
        preferred ? src.voices[kept[i]].preferredPart : partForListItem(static_cast<int>(i));
  }
  a.byPreference = preferred;
  for (size_t v : melodic) {
    if (partOf[v] >= 0) continue;
    size_t nearest = kept.front();
    for (size_t k : kept) {
      if (std::abs(use[k].meanPitch() - use[v].meanPitch()) <
          std::abs(use[nearest].meanPitch() - use[v].meanPitch())) {
        nearest = k;
      }
    }
    partOf[v] = partOf[nearest];
    a.merged[v] = true;
    ++report.voicesMerged;
    report.notesInMergedVoices += use[v].notes;
  }
  return a;
}

// The voice, volume and pan a part takes from the first voice that has them.
void takeSettings(LoadedPart& part, const SourceVoice& voice) {
  if (!part.program && voice.program && part.part != kPercussionPart) {
    part.program = std::clamp(*voice.program, 0, 127);
  }
  if (!part.volume && voice.volume) part.volume = std::clamp(*voice.volume, 0, 127);
  if (!part.pan && voice.pan) part.pan = std::clamp(*voice.pan, 0, 20);
}

}  // namespace

SourceTime nearestOfferedTime(SourceTime t) {
  if (isOfferedTimeSignature(t.num, t.den)) return t;
  if (t.num <= 0 || t.den <= 0) return {4, 4};
  constexpr SourceTime kOffered[] = {{4, 4}, {3, 4}, {2, 4}, {9, 8}, {6, 8}, {3, 8}, {2, 2}};
  const double length = t.num * 64.0 / t.den;
  auto rank = [&](SourceTime c) {
    const double own = c.num * 64.0 / c.den;
    const double ratio = length / own;
    const bool divides = std::abs(ratio - std::round(ratio)) < 1e-9;
    return std::make_tuple(divides ? 0 : 1, compound(c) == compound(t) ? 0 : 1,
                           std::abs(length - own), c.den == t.den ? 0 : 1);
  };
  SourceTime best = kOffered[0];
  for (SourceTime c : kOffered) {
    if (rank(c) < rank(best)) best = c;
  }
  return best;
}

LoadedScore buildScore(SourceScore& src, ImportReport& report) {
  if (src.notes.size() > kMaxImportNotes) {
    throw ReadFault{FileError::BadValue,
                    fillText(uiText("kelvara::Files", "音符の数が上限の %1 を超えています"),
                             {std::to_string(kMaxImportNotes)})};
  }
  LoadedScore out;
  const SourceTime used = nearestOfferedTime(src.time);
  if (used.num != src.time.num || used.den != src.time.den) {
    report.timeReplaced = timeText(src.time);
    report.timeUsed = timeText(used);
  }
  out.timeNum = used.num;
  out.timeDen = used.den;
  if (src.tempo) {
    out.tempo = std::clamp(*src.tempo, 1, kHighestTempo);
    report.tempoClamped = *src.tempo > kHighestTempo;
  }
  out.keySig = src.keySig;
  out.major = src.major;

  const int32_t barLen = used.num * 64 / used.den;
  const double ticksPerQuarter = src.ticksPerQuarter > 0 ? src.ticksPerQuarter : 960;
  const double per64th = 16.0 / ticksPerQuarter;  // 64ths in a tick
  // A short first bar: the music moves on so that the next bar starts on a
  // bar line.
  int64_t lead = 0;
  if (src.pickupTicks > 0) {
    const auto pickup = std::llround(static_cast<double>(src.pickupTicks) * per64th);
    if (pickup > 0 && pickup < barLen) lead = barLen - pickup;
  }
  report.pickupFilled = lead;

  std::vector<VoiceUse> use(src.voices.size());
  for (const SourceNote& n : src.notes) {
    if (n.voice >= use.size()) continue;
    ++use[n.voice].notes;
    use[n.voice].pitchSum += n.pitch;
  }
  const PartAssignment assigned = assignParts(src, use, report);
  const std::vector<int>& partOf = assigned.partOf;

  PerPart<std::vector<TimedNote>> timed;
  for (const SourceNote& n : src.notes) {
    if (n.voice >= partOf.size() || partOf[n.voice] < 0) continue;
    TimedNote t;
    t.start = static_cast<double>(n.start) * per64th + static_cast<double>(lead);
    t.end = std::max(static_cast<double>(n.end) * per64th + static_cast<double>(lead), t.start);
    t.pitch = std::clamp(n.pitch, 1, 127);
    t.velocity = std::clamp(n.velocity, 1, 127);
    timed[static_cast<size_t>(partOf[n.voice])].push_back(t);
  }

  PerPart<std::optional<LoadedPart>> parts;
  for (size_t v = 0; v < src.voices.size(); ++v) {
    int p = partOf[v];
    // A voice without notes still brings its settings to the part it asks
    // for, when every voice gets the part it asks for and nothing else
    // plays there.
    if (p < 0 && assigned.byPreference && !src.voices[v].percussion) {
      const int asked = src.voices[v].preferredPart;
      if (asked >= 0 && asked < kPartCount && asked != kPercussionPart &&
          timed[static_cast<size_t>(asked)].empty()) {
        p = asked;
      }
    }
    if (p < 0 && src.voices[v].percussion && use[v].notes == 0) p = kPercussionPart;
    // Merged voices bring their notes, not their settings.
    if (p < 0 || assigned.merged[v]) continue;
    auto& part = parts[static_cast<size_t>(p)];
    if (!part) {
      part.emplace();
      part->part = p;
    }
    takeSettings(*part, src.voices[v]);
  }

  RecordBudget budget;
  const QuantiseGrid grid{barLen, per64th};
  for (int p = 0; p < kPartCount; ++p) {
    auto& notes = timed[static_cast<size_t>(p)];
    if (notes.empty()) continue;
    auto& part = parts[static_cast<size_t>(p)];
    if (!part) {
      part.emplace();
      part->part = p;
    }
    part->records = quantisePart(notes, grid, report, budget);
    notes = {};
  }
  for (auto& part : parts) {
    if (part) out.parts.push_back(std::move(*part));
  }
  fitRecordsToFile(out, used.num, used.den);
  checkPageWidths(out, used.num, used.den);
  return out;
}

}  // namespace kelvara
