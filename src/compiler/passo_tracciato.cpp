#include "compiler/passo_tracciato.h"

#include <array>

#include "sources/parole_chiave.h"

namespace scenario {

punto_piano passo_rettilineo(punto_piano ultimo, punto_piano penultimo) {
  return {ultimo.x + (ultimo.x - penultimo.x), ultimo.y + (ultimo.y - penultimo.y)};
}

punto_piano passo_curva(punto_piano ultimo, punto_piano penultimo, double k) {
  const double d0 = ultimo.x - penultimo.x;
  const double d1 = ultimo.y - penultimo.y;
  return {ultimo.x + (d1 * k + d0), ultimo.y + (d1 - d0 * k)};
}

std::optional<double> curvatura(std::string_view chiave) {
  struct classe {
    std::string_view cifra;
    double valore;
  };
  static constexpr std::array<classe, 6> classi{{{"1", 0.0001},
                                                 {"2", 0.0002},
                                                 {"3", 0.0004},
                                                 {"4", 0.001},
                                                 {"5", 0.002},
                                                 {"6", 0.003}}};
  for (const classe& c : classi) {
    if (contiene_esatto(chiave, c.cifra)) return contiene(chiave, "s") ? -c.valore : c.valore;
  }
  return std::nullopt;
}

}  // namespace scenario
