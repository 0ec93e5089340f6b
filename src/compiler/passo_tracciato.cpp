#include "compiler/passo_tracciato.h"

#include <array>

#include "sources/parole_chiave.h"

namespace scenario {

std::optional<double> curvatura(std::string_view chiave) {
  struct classe {
    std::string_view cifra;
    double valore;
  };
  static constexpr std::array<classe, 6> classi{
      {{"1", 0.0001}, {"2", 0.0002}, {"3", 0.0004}, {"4", 0.001}, {"5", 0.002}, {"6", 0.003}}};
  for (const classe& c : classi) {
    if (contiene_esatto(chiave, c.cifra)) return contiene(chiave, "s") ? -c.valore : c.valore;
  }
  return std::nullopt;
}

}  // namespace scenario
