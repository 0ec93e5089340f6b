// The one rounding rule of the compiler, R(x): to the nearest integer, ties to
// the even one (24.5 -> 24, 25.5 -> 26). Every computed position, index, limit
// and size goes through it; std::round (ties away from zero) is never used.
#pragma once

#include <cmath>
#include <cstdint>

namespace scenario {

// R(x) as a double; exact, since every integer result is representable.
inline double arrotonda(double x) { return std::nearbyint(x); }

// R(x) into a signed 32-bit value. False when the result does not fit (or x is
// not a number): the caller reports that as its own fault instead of wrapping.
inline bool arrotonda_lungo(double x, int32_t& risultato) {
  const double r = std::nearbyint(x);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return false;
  risultato = static_cast<int32_t>(r);
  return true;
}

// R(x) into a signed 16-bit value, with the same refusal on overflow.
inline bool arrotonda_intero(double x, int16_t& risultato) {
  const double r = std::nearbyint(x);
  if (!(r >= -32768.0 && r <= 32767.0)) return false;
  risultato = static_cast<int16_t>(r);
  return true;
}

// The low 8 bits of a value, as a byte field of the compiled files keeps it.
inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(static_cast<uint64_t>(v)); }

}  // namespace scenario
