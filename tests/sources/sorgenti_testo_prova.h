// Small line and train-run sources as text, for the parser's tests and the
// fuzz seeds: CR LF lines, a [generale] block, the body rows and "[fine]";
// and the rows of a section of the built-in sources, taken from the program
// rather than copied.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sources/scrittore_testo.h"

namespace scenario::prova {

using righe = std::vector<std::string>;

// The lines, each ended by CR LF.
inline std::string testo(const righe& r) {
  std::string t;
  for (const std::string& l : r) t += l + "\r\n";
  return t;
}

// A line source: [generale] with the route length first and `generale` after
// it, then the body rows and "[fine]".
inline std::string linea(const righe& corpo, const righe& generale = {},
                         const std::string& lunghezza = "lunghezza percorso,    10000") {
  righe r{"[generale]", lunghezza};
  r.insert(r.end(), generale.begin(), generale.end());
  r.push_back("[curve]");
  r.insert(r.end(), corpo.begin(), corpo.end());
  r.push_back("[fine]");
  return testo(r);
}

// A train-run source: [generale], the rows, "[fine]".
inline std::string treno(const righe& corpo) {
  righe r{"[generale]"};
  r.insert(r.end(), corpo.begin(), corpo.end());
  r.push_back("[fine]");
  return testo(r);
}

// A station row of sixteen numbers and a name, with every datum 1 unless given.
inline std::string stazione(int32_t posizione, int tipo, int32_t lunghezza,
                            const std::string& nome = "STAZIONE", int dato3 = 0) {
  return "stazione, " + std::to_string(posizione) + ", " + std::to_string(tipo) + ", " +
         std::to_string(lunghezza) + ", 1, 1, " + std::to_string(dato3) +
         ", 1, 1, 1, 1, 1, 1, 1, 17, 34, 0, " + nome;
}

// The lines of a built-in table after the line `da` and before the line `a`.
inline righe righe_tra(const tabella_righe& t, std::string_view da, std::string_view a) {
  righe r;
  bool dentro = false;
  for (size_t i = 0; i < tabella_righe::capacita && t[i] != fine_del_file; ++i) {
    if (t[i] == a && dentro) break;
    if (dentro) r.emplace_back(t[i]);
    if (t[i] == da) dentro = true;
  }
  return r;
}

}  // namespace scenario::prova
