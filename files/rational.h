#pragma once

#include <cstdint>
#include <numeric>

namespace kelvara {

// An exact fraction for times in 64ths that tuplets make fractional. Kept in
// lowest terms with a positive denominator; the values it meets (positions of
// a few hundred thousand 64ths, denominators of a tuplet's count times a
// note value) stay far inside 64 bits.
struct Rational {
  int64_t num = 0;
  int64_t den = 1;

  Rational() = default;
  Rational(int64_t n, int64_t d = 1) : num(n), den(d) {  // NOLINT: integers convert
    if (den < 0) {
      num = -num;
      den = -den;
    }
    const int64_t g = std::gcd(num, den);
    if (g > 1) {
      num /= g;
      den /= g;
    }
  }

  friend Rational operator+(Rational a, Rational b) {
    const int64_t g = std::gcd(a.den, b.den);
    return {a.num * (b.den / g) + b.num * (a.den / g), a.den / g * b.den};
  }
  friend Rational operator-(Rational a, Rational b) { return a + Rational(-b.num, b.den); }
  friend Rational operator*(Rational a, Rational b) {
    const Rational x(a.num, b.den), y(b.num, a.den);
    return {x.num * y.num, x.den * y.den};
  }
  friend Rational operator/(Rational a, Rational b) { return a * Rational(b.den, b.num); }
  friend bool operator==(Rational a, Rational b) { return a.num == b.num && a.den == b.den; }
  friend bool operator<(Rational a, Rational b) { return a.num * b.den < b.num * a.den; }
  friend bool operator<=(Rational a, Rational b) { return !(b < a); }
  friend bool operator>(Rational a, Rational b) { return b < a; }
  friend bool operator>=(Rational a, Rational b) { return !(a < b); }

  bool integral() const { return den == 1; }
  // Rounded down.
  int64_t floor() const { return num >= 0 ? num / den : -((-num + den - 1) / den); }
  double value() const { return static_cast<double>(num) / static_cast<double>(den); }
};

}  // namespace kelvara
