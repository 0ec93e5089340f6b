// The track plan one metre at a time: a straight step repeats the last step
// vector, a curve step turns it by the small angle k (its length is not
// renormalised). Pure functions in double precision, each operation in the
// written order, never fused, so every platform computes the same bits.
#pragma once

#include <optional>
#include <string_view>

namespace scenario {

struct punto_piano {
  double x = 0;
  double y = 0;
};

// Point m from points m-1 (`ultimo`) and m-2 (`penultimo`).
// Inline: the plan of a long route is a million of these, and the operations
// stay exactly as written (the build never contracts them into fused ones).
inline punto_piano passo_rettilineo(punto_piano ultimo, punto_piano penultimo) {
  return {ultimo.x + (ultimo.x - penultimo.x), ultimo.y + (ultimo.y - penultimo.y)};
}

inline punto_piano passo_curva(punto_piano ultimo, punto_piano penultimo, double k) {
  const double d0 = ultimo.x - penultimo.x;
  const double d1 = ultimo.y - penultimo.y;
  return {ultimo.x + (d1 * k + d0), ultimo.y + (d1 - d0 * k)};
}

// The curvature a curve keyword names: its first class digit, looked for in
// the order 1 to 6; an "s" of either case makes the curve left-handed (negative).
// Empty when the keyword holds none of the six digits.
std::optional<double> curvatura(std::string_view chiave);

}  // namespace scenario
