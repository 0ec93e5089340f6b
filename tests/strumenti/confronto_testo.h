// Two texts compared line by line, for golden tests: where they part, the
// first differing lines of each with their numbers, readable in a failure.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace scenario::prova {

inline std::vector<std::string> righe_di(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string l; std::getline(in, l);) r.push_back(l);
  return r;
}

// Empty when the texts are equal; else from the first line that differs, up
// to `quante` lines of each, as "riga N: atteso: ..." and "riga N: ottenuto: ...".
inline std::string prima_differenza(const std::string& atteso, const std::string& ottenuto,
                                    size_t quante = 5) {
  if (atteso == ottenuto) return {};
  const std::vector<std::string> a = righe_di(atteso);
  const std::vector<std::string> o = righe_di(ottenuto);
  size_t i = 0;
  while (i < a.size() && i < o.size() && a[i] == o[i]) ++i;
  std::string r;
  for (size_t k = i; k < i + quante && (k < a.size() || k < o.size()); ++k) {
    const std::string n = "riga " + std::to_string(k + 1) + ": ";
    r += n + "atteso:   " + (k < a.size() ? a[k] : "(fine del testo)") + "\n";
    r += n + "ottenuto: " + (k < o.size() ? o[k] : "(fine del testo)") + "\n";
  }
  // Texts that differ only after their last line break (a final newline).
  if (r.empty()) r = "i testi differiscono solo nell'ultimo a capo\n";
  return r;
}

}  // namespace scenario::prova
