#include "files/quantiser.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kelvara {

namespace {

// Tuplets looked for, in the order they are preferred: a group of three
// before a group of five, six or seven; a longer group before shorter ones.
constexpr int32_t kTupletCounts[] = {3, 5, 6, 7};
constexpr int32_t kTupletSpans[] = {64, 32, 16, 8, 4};
// Onsets closer than this (64ths) start one chord.
constexpr double kChordSpread = 0.25;
// How many times closer a group's onsets must lie to a tuplet's grid than to
// the straight grid of similar fineness.
constexpr double kFarBetter = 3.0;
// An onset this near (64ths) the 64th grid starts no search for a tuplet.
constexpr double kNearGrid = 0.1;
// How early (64ths) an onset may come and still count as on a grid point
// after it.
constexpr double kEarly = 0.5;
// An onset further from a tuplet's grid than a quarter of its step, or a
// 64th, does not belong to the tuplet.
double tupletReach(double step) {
  return std::min(0.25 * step, 1.0);
}

// Notes that start together.
struct Cluster {
  double start = 0;  // of its first note, 64ths
  size_t begin = 0;  // its notes, [begin, end) of the sorted notes
  size_t end = 0;
  int window = -1;   // the tuplet it belongs to, -1 for none
  int32_t slot = 0;  // its step in that tuplet
  int64_t at = 0;    // not in a tuplet: the 64th it starts on
};

// A tuplet group: `count` equal steps over `span` 64ths from `start`.
struct Window {
  int64_t start = 0;
  int32_t span = 0;
  int32_t count = 0;
  double step() const { return static_cast<double>(span) / count; }
  int64_t end() const { return start + span; }
};

// The straight grid a tuplet step is weighed against: the longest power of
// two 64ths not more than half the step (at least a 64th).
double straightGrid(double step) {
  double g = 1;
  while (g * 4 <= step) g *= 2;
  return g;
}

// The value a tuplet member is written with: three in the time of two,
// five to seven in the time of four.
int32_t memberValue(const Window& w) {
  return w.count == 3 ? w.span / 2 : w.span / 4;
}

double distanceToGrid(double x, double grid) {
  return std::abs(x - std::floor(x / grid + 0.5) * grid);
}

class Quantiser {
 public:
  Quantiser(std::vector<TimedNote>& notes, const QuantiseGrid& grid, ImportReport& report,
            RecordBudget& budget)
      : notes_(notes), grid_(grid), report_(report), budget_(budget) {
    exact_ = std::min(std::max(grid.tickIn64ths, 1e-9), 0.1) * 1.0001;
  }

  std::vector<RecordPtr> run() {
    std::stable_sort(notes_.begin(), notes_.end(), [](const TimedNote& a, const TimedNote& b) {
      return a.start < b.start || (a.start == b.start && a.pitch > b.pitch);
    });
    makeClusters();
    findTuplets();
    placeStraightClusters();
    emitRecords();
    return std::move(records_);
  }

 private:
  void makeClusters() {
    for (size_t i = 0; i < notes_.size(); ++i) {
      if (clusters_.empty() || notes_[i].start - clusters_.back().start >= kChordSpread) {
        Cluster c;
        c.start = notes_[i].start;
        c.begin = i;
        clusters_.push_back(c);
        starts_.push_back(c.start);
      }
      clusters_.back().end = i + 1;
    }
  }

  bool offGrid(double x) const { return distanceToGrid(x, 1.0) > exact_; }

  // Whether a search for a tuplet starts from this onset. The steps of the
  // tuplets looked for that are not on the 64th grid lie at least a seventh
  // of a 64th off it; an onset nearer it is a straight one played a little
  // off (a group holding it is still found from its other onsets).
  bool mayAnchor(double x) const { return distanceToGrid(x, 1.0) > std::max(exact_, kNearGrid); }

  bool isFree(int64_t start, int32_t span) const {
    auto it = byStart_.lower_bound(start);
    if (it != byStart_.end() && it->first < start + span) return false;
    if (it != byStart_.begin()) {
      --it;
      if (windows_[static_cast<size_t>(it->second)].end() > start) return false;
    }
    return true;
  }

  // Whether the notes of a cluster that end inside the group end on its
  // grid (telling a group of short steps with rests from one of long steps).
  bool endsFit(const Cluster& c, const Window& w) const {
    const double step = w.step();
    const auto from = static_cast<double>(w.start), to = static_cast<double>(w.end());
    for (size_t i = c.begin; i < c.end; ++i) {
      const double e = notes_[i].end;
      if (e <= from + exact_ || e >= to - exact_) continue;
      const double r = (e - from) / step;
      if (std::abs(r - std::round(r)) * step > tupletReach(step)) return false;
    }
    return true;
  }

  // Takes the group as a tuplet when every onset it holds lies on its grid
  // (one to a step, one not on the first), far closer than to the straight
  // grid, and the notes that end inside it end on its grid too.
  // `scan` is an index of a cluster at or before the group's first: the
  // search moves it on, so trying the groups in time order reads each
  // cluster about once.
  bool tryWindow(const Window& w, size_t& scan) {
    const double step = w.step();
    // Onsets up to half a 64th early still belong to the group's steps.
    const double lo = static_cast<double>(w.start) - kEarly;
    const double hi = static_cast<double>(w.end()) - kEarly;
    while (scan > 0 && starts_[scan - 1] >= lo) --scan;
    while (scan < starts_.size() && starts_[scan] < lo) ++scan;
    const size_t first = scan;
    const double straight = straightGrid(step);
    const double reach = tupletReach(step);
    double costTuplet = 0, costStraight = 0;
    int members = 0;
    bool pastFirstStep = false;
    uint64_t used = 0;
    taken_.clear();
    for (size_t i = first; i < clusters_.size() && starts_[i] < hi; ++i) {
      if (clusters_[i].window >= 0) continue;
      const double x = starts_[i];
      const double r = (x - static_cast<double>(w.start)) / step;
      const auto k = static_cast<int32_t>(std::llround(r));
      if (k < 0) continue;
      if (k >= w.count) return false;  // inside the group between its last step and its end
      const double off = std::abs(r - k) * step;
      if (!offGrid(x) && off > exact_) {
        // An onset on the 64th grid off the tuplet's: a straight note just
        // before the group, or a group that is no tuplet.
        if (x < static_cast<double>(w.start)) continue;
        return false;
      }
      if (off > reach || (used & (uint64_t{1} << k)) != 0) return false;
      if (!endsFit(clusters_[i], w)) return false;
      used |= uint64_t{1} << k;
      costTuplet += off;
      costStraight += distanceToGrid(x, straight);
      if (k > 0) pastFirstStep = true;
      ++members;
      taken_.emplace_back(i, k);
    }
    if (members < 2 || !pastFirstStep) return false;
    if (costStraight < 0.1 * straight * members) return false;
    if (costTuplet * kFarBetter > costStraight) return false;
    const int index = static_cast<int>(windows_.size());
    windows_.push_back(w);
    byStart_[w.start] = index;
    for (const auto& [i, k] : taken_) {
      clusters_[i].window = index;
      clusters_[i].slot = k;
    }
    ++report_.tupletGroups;
    return true;
  }

  void findTuplets() {
    const int32_t barLen = std::max(grid_.barLen, 1);
    for (int32_t count : kTupletCounts) {
      for (int32_t span : kTupletSpans) {
        if (span > barLen) continue;
        const double step = static_cast<double>(span) / count;
        if (step < 1) continue;
        const double reach = tupletReach(step);
        int64_t lastAligned = -1, lastHalf = -1;
        size_t scan = 0;
        for (size_t i = 0; i < clusters_.size(); ++i) {
          const Cluster& c = clusters_[i];
          if (c.window >= 0 || !mayAnchor(c.start)) continue;
          const double x = c.start + kEarly;
          const auto bar = static_cast<int64_t>(std::floor(x / barLen)) * barLen;
          const int64_t aligned =
              bar + static_cast<int64_t>(std::floor((x - static_cast<double>(bar)) / span)) * span;
          // A group on the beats of the bar first; else one half a group
          // later or earlier (the bar lines of a file may be off by a
          // pick-up it does not mark).
          const int64_t half = x >= static_cast<double>(aligned + span / 2) ? aligned + span / 2
                                                                            : aligned - span / 2;
          // Only a group with a step near the onset can hold it.
          auto near = [&](int64_t start) {
            const double r = (c.start - static_cast<double>(start)) / step;
            return std::abs(r - std::floor(r + 0.5)) * step <= reach;
          };
          if (aligned != lastAligned && aligned + span <= bar + barLen && near(aligned) &&
              isFree(aligned, span)) {
            lastAligned = aligned;
            if (tryWindow(Window{aligned, span, count}, scan)) continue;
          }
          if (half != lastHalf && half >= 0 && near(half) && isFree(half, span)) {
            lastHalf = half;
            tryWindow(Window{half, span, count}, scan);
          }
        }
      }
    }
  }

  // Straight onsets go to the nearest 64th, never inside a tuplet.
  void placeStraightClusters() {
    for (Cluster& c : clusters_) {
      if (c.window >= 0) continue;
      c.at = std::max<int64_t>(std::llround(c.start), 0);
      // After the group it falls into, and after the groups right behind it.
      for (auto it = byStart_.upper_bound(c.at); it != byStart_.begin();) {
        --it;
        const Window& w = windows_[static_cast<size_t>(it->second)];
        if (c.at >= w.end()) break;
        c.at = w.end();
        it = byStart_.upper_bound(c.at);
      }
    }
  }

  // Where the cluster (a straight one, or a tuplet's first member) starts.
  int64_t placeOf(const Cluster& c) const {
    return c.window >= 0 ? windows_[static_cast<size_t>(c.window)].start : c.at;
  }

  void flushRest() {
    while (pendingRest_ > 0) {
      const auto length = static_cast<int32_t>(std::min<int64_t>(pendingRest_, kMaxRecordLength));
      budget_.take();
      records_.emplace_back(makeRecord(kRestPitch, length, 1));
      pendingRest_ -= length;
    }
  }

  // A record holding the pitches of notes [begin, end) of the given clusters.
  RecordPtr chordOf(size_t firstCluster, size_t lastCluster, int32_t length) {
    pitches_.clear();
    int32_t velocity = 1;
    for (size_t c = firstCluster; c < lastCluster; ++c) {
      for (size_t i = clusters_[c].begin; i < clusters_[c].end; ++i) {
        pitches_.push_back(notes_[i].pitch);
        velocity = std::max(velocity, notes_[i].velocity);
      }
    }
    std::sort(pitches_.begin(), pitches_.end(), std::greater<>());
    const auto unique = std::unique(pitches_.begin(), pitches_.end());
    report_.unisonsMerged += pitches_.end() - unique;
    pitches_.erase(unique, pitches_.end());
    if (pitches_.size() > static_cast<size_t>(kPitchSlots)) {
      report_.chordNotesDropped += static_cast<int64_t>(pitches_.size()) - kPitchSlots;
      pitches_.resize(kPitchSlots);
    }
    budget_.take();
    RecordPtr r(makeRecord(pitches_[0], length, 1));
    for (size_t k = 1; k < pitches_.size(); ++k) r->Pitch[k] = pitches_[k];
    r->LastIndex = static_cast<int32_t>(pitches_.size()) - 1;
    r->Velocity = std::clamp(velocity, 1, 127);
    return r;
  }

  void noteRounded(const TimedNote& n, double start, double end) {
    if (std::abs(n.start - start) > exact_ || std::abs(n.end - end) > exact_) {
      ++report_.notesRounded;
    }
  }

  // Straight clusters [first, last) all start on the same 64th; the chord
  // lasts until its longest note ends, or the next onset `next` (-1: none).
  void emitStraight(size_t first, size_t last, int64_t next) {
    const int64_t at = clusters_[first].at;
    pendingRest_ += std::max<int64_t>(at - position_, 0);
    flushRest();
    int64_t end = at + 1;
    for (size_t c = first; c < last; ++c) {
      for (size_t i = clusters_[c].begin; i < clusters_[c].end; ++i) {
        const TimedNote& n = notes_[i];
        const int64_t e = std::llround(n.end);
        noteRounded(n, static_cast<double>(at), static_cast<double>(e));
        if (e <= at) ++report_.notesLengthened;
        if (next >= 0 && e > next) ++report_.notesShortened;
        end = std::max(end, std::min(e, next >= 0 ? next : e));
      }
    }
    int64_t length = std::max<int64_t>(end - at, 1);
    if (length > kMaxRecordLength) {
      report_.notesTooLong += 1;
      length = kMaxRecordLength;
    }
    records_.push_back(chordOf(first, last, static_cast<int32_t>(length)));
    position_ = at + length;
  }

  // A tuplet: one member per step, a chord where a cluster starts, else a rest.
  void emitWindow(const Window& w, size_t first, size_t last) {
    pendingRest_ += std::max<int64_t>(w.start - position_, 0);
    flushRest();
    const double step = w.step();
    const int32_t value = memberValue(w);
    size_t c = first;
    for (int32_t k = 0; k < w.count; ++k) {
      RecordPtr member;
      if (c < last && clusters_[c].slot == k) {
        const double at = static_cast<double>(w.start) + k * step;
        for (size_t i = clusters_[c].begin; i < clusters_[c].end; ++i) {
          const TimedNote& n = notes_[i];
          const auto steps =
              std::max<int64_t>(std::llround((n.end - static_cast<double>(w.start)) / step), k + 1);
          noteRounded(n, at, static_cast<double>(w.start) + static_cast<double>(steps) * step);
          if (steps > k + 1) ++report_.notesShortened;
        }
        member = chordOf(c, c + 1, value);
        ++c;
      } else {
        budget_.take();
        member.reset(makeRecord(kRestPitch, value, 1));
      }
      member->RenIndex = k + 1;
      member->RenCount = w.count;
      member->RenLength = w.span;
      records_.push_back(std::move(member));
    }
    position_ = w.end();
  }

  void emitRecords() {
    // Clusters in order of where they are placed; a tuplet's clusters stay
    // together in step order.
    order_.resize(clusters_.size());
    for (size_t i = 0; i < order_.size(); ++i) order_[i] = i;
    std::stable_sort(order_.begin(), order_.end(), [this](size_t a, size_t b) {
      const int64_t pa = placeOf(clusters_[a]), pb = placeOf(clusters_[b]);
      if (pa != pb) return pa < pb;
      return clusters_[a].slot < clusters_[b].slot;
    });
    std::vector<Cluster> sorted;
    sorted.reserve(clusters_.size());
    for (size_t i : order_) sorted.push_back(clusters_[i]);
    clusters_ = std::move(sorted);

    size_t i = 0;
    while (i < clusters_.size()) {
      size_t j = i + 1;
      const int window = clusters_[i].window;
      const int64_t place = placeOf(clusters_[i]);
      while (j < clusters_.size() && clusters_[j].window == window &&
             (window >= 0 || clusters_[j].at == place)) {
        ++j;
      }
      const int64_t next = j < clusters_.size() ? placeOf(clusters_[j]) : -1;
      if (window >= 0) {
        emitWindow(windows_[static_cast<size_t>(window)], i, j);
      } else {
        emitStraight(i, j, next);
      }
      i = j;
    }
  }

  std::vector<TimedNote>& notes_;
  QuantiseGrid grid_;
  ImportReport& report_;
  RecordBudget& budget_;
  double exact_ = 0;  // a time this near a grid point is on it

  std::vector<Cluster> clusters_;
  std::vector<double> starts_;  // of the clusters, ascending
  std::vector<Window> windows_;
  std::map<int64_t, int> byStart_;  // window start -> index in windows_
  std::vector<std::pair<size_t, int32_t>> taken_;
  std::vector<size_t> order_;
  std::vector<int32_t> pitches_;

  std::vector<RecordPtr> records_;
  int64_t position_ = 0;  // 64ths the records made so far last
  int64_t pendingRest_ = 0;
};

}  // namespace

std::vector<RecordPtr> quantisePart(std::vector<TimedNote>& notes, const QuantiseGrid& grid,
                                    ImportReport& report, RecordBudget& budget) {
  return Quantiser(notes, grid, report, budget).run();
}

}  // namespace kelvara
