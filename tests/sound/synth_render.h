#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "sound/fluid_synth_output.h"

namespace kelvara::testing {

// Renders `seconds` of the synthesizer's output, left and right mixed.
inline std::vector<float> renderSeconds(FluidSynthOutput& synth, double seconds) {
  const int rate = synth.options().sampleRate;
  const int frames = static_cast<int>(seconds * rate);
  std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
  // In periods, as the audio driver would pull it.
  const int period = synth.options().periodSize;
  for (int at = 0; at < frames; at += period) {
    synth.render(left.data() + at, right.data() + at, std::min(period, frames - at));
  }
  std::vector<float> mono(static_cast<size_t>(frames));
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (left[i] + right[i]);
  return mono;
}

// Root mean square of samples [from, to) (as fractions of the buffer).
inline double rms(const std::vector<float>& s, double from = 0.0, double to = 1.0) {
  const size_t a = static_cast<size_t>(from * static_cast<double>(s.size()));
  const size_t b = static_cast<size_t>(to * static_cast<double>(s.size()));
  double sum = 0;
  for (size_t i = a; i < b; ++i) sum += static_cast<double>(s[i]) * s[i];
  return b > a ? std::sqrt(sum / static_cast<double>(b - a)) : 0.0;
}

// Magnitude of frequency `hz` in a Hann-windowed stretch of the signal.
inline double magnitudeAt(const std::vector<float>& s, size_t start, size_t n, int rate,
                          double hz) {
  const double w = 2.0 * std::numbers::pi * hz / rate;
  double re = 0, im = 0;
  for (size_t i = 0; i < n; ++i) {
    const double hann =
        0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / (n - 1));
    const double v = hann * s[start + i];
    re += v * std::cos(w * static_cast<double>(i));
    im -= v * std::sin(w * static_cast<double>(i));
  }
  return std::hypot(re, im);
}

// The strongest frequency between lo and hi Hz in the 16384 samples after
// `start`: a 2 Hz scan refined to 0.1 Hz.
inline double dominantFrequency(const std::vector<float>& s, size_t start, int rate, double lo,
                                double hi) {
  constexpr size_t n = 16384;
  double best = lo, bestMag = -1;
  for (double f = lo; f <= hi; f += 2.0) {
    const double m = magnitudeAt(s, start, n, rate, f);
    if (m > bestMag) bestMag = m, best = f;
  }
  const double coarse = best;
  for (double f = coarse - 2.0; f <= coarse + 2.0; f += 0.1) {
    const double m = magnitudeAt(s, start, n, rate, f);
    if (m > bestMag) bestMag = m, best = f;
  }
  return best;
}

// Relative strengths of the first `count` harmonics of f0, summing to 1.
inline std::vector<double> harmonicProfile(const std::vector<float>& s, size_t start, int rate,
                                           double f0, int count) {
  std::vector<double> profile;
  double total = 0;
  for (int k = 1; k <= count; ++k) {
    profile.push_back(magnitudeAt(s, start, 16384, rate, f0 * k));
    total += profile.back();
  }
  for (double& p : profile) p /= total;
  return profile;
}

inline double profileDistance(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0;
  for (size_t i = 0; i < a.size(); ++i) d += std::abs(a[i] - b[i]);
  return d;
}

inline double keyFrequency(int key) {
  return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

}  // namespace kelvara::testing
