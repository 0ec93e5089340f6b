// Helpers shared by the document tests: splitting a written file into lines,
// reading the cells of a table line, and reading source rows back through the
// field reader.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/disco.h"
#include "sources/lettore_campi.h"
#include "sources/nomi_file.h"
#include "sources/scrittore_testo.h"

namespace scenario::prova {

// Splits a written file into its lines, failing the test on a line that is not
// ended by CR LF or that holds a stray line-end byte.
inline std::vector<std::string> righe_del_file(const std::string& testo) {
  std::vector<std::string> righe;
  size_t da = 0;
  while (da < testo.size()) {
    const size_t a_capo = testo.find("\r\n", da);
    if (a_capo == std::string::npos) {
      ADD_FAILURE() << "ultima riga senza CR LF: " << testo.substr(da);
      break;
    }
    righe.push_back(testo.substr(da, a_capo - da));
    EXPECT_EQ(righe.back().find_first_of("\r\n"), std::string::npos) << "riga " << righe.size();
    da = a_capo + 2;
  }
  return righe;
}

inline std::string maiuscolo(std::string_view s) {
  std::string m;
  for (char c : s) m += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return m;
}

// The pieces between the "|" of a table line.
inline std::vector<std::string> celle(std::string_view riga) {
  std::vector<std::string> pezzi;
  size_t da = riga.find('|');
  while (da != std::string_view::npos) {
    const size_t a = riga.find('|', da + 1);
    if (a == std::string_view::npos) break;
    pezzi.emplace_back(riga.substr(da + 1, a - da - 1));
    da = a;
  }
  return pezzi;
}

inline std::vector<size_t> colonne_delle_barre(std::string_view riga) {
  std::vector<size_t> colonne;
  for (size_t i = 0; i < riga.size(); ++i)
    if (riga[i] == '|') colonne.push_back(i + 1);
  return colonne;
}

struct riga_sorgente {
  std::vector<int32_t> numeri;
  std::string testo;
};

// The rows of a source whose keyword is `chiave`: `numeri` numeric fields,
// then a closing text field when `con_testo`.
inline std::vector<riga_sorgente> righe_sorgente(const tabella_righe& t, std::string_view chiave,
                                                 size_t numeri, bool con_testo) {
  std::vector<riga_sorgente> trovate;
  for (size_t i = 0; i < tabella_righe::capacita && t[i] != fine_del_file; ++i) {
    lettore_campi l(t[i], "sorgente");
    std::string parola;
    if (!l.leggi_testo(parola) || parola != chiave) continue;
    riga_sorgente r;
    r.numeri.resize(numeri);
    for (auto& v : r.numeri) EXPECT_TRUE(l.leggi_numero(larghezza::lungo32, v)) << t[i];
    if (con_testo) {
      EXPECT_TRUE(l.leggi_testo(r.testo)) << t[i];
    }
    trovate.push_back(r);
  }
  return trovate;
}

// A document of the built-in scenario written alone by `scrivi` into an
// empty in-memory disk: the one file it writes is `nome`, its bytes are its
// line table's, every byte is printable 7-bit ASCII. Its lines.
template <typename scrittore>
std::vector<std::string> documento_scritto(scrittore scrivi, const std::string& nome,
                                           const tabella_righe& righe) {
  disco_memoria d;
  EXPECT_TRUE(scrivi(d, linea_predefinita, treno_predefinito).ok);
  EXPECT_EQ(d.file.size(), 1u);
  const auto it = d.file.find(nome);
  if (it == d.file.end()) {
    ADD_FAILURE() << nome << " non scritto";
    return {};
  }
  EXPECT_EQ(it->second, componi_testo(righe));
  const std::vector<std::string> r = righe_del_file(it->second);
  for (size_t i = 0; i < r.size(); ++i) {
    for (char c : r[i]) {
      EXPECT_TRUE(c >= ' ' && c <= '~') << "riga " << i + 1 << ": byte " << static_cast<int>(c);
    }
  }
  return r;
}

// The documents' kilometric reckoning of the built-in route, from its
// sources: the position itself up to the border (the start of "progressiva
// chilometrica due"), then counted down from that row's reference value, then
// from Campella (the seventeenth station) down from the reference of "tre".
struct progressiva {
  int confine = 0;
  int riferimento_due = 0;
  int inizio_terzo = 0;
  int riferimento_tre = 0;

  int tratto(int p) const { return p < confine ? 0 : p < inizio_terzo ? 1 : 2; }
  int metri(int p) const {
    const int t = tratto(p);
    return t == 0 ? p : t == 1 ? riferimento_due - p : riferimento_tre - p;
  }
  // The kilometre post passed last before p: the whole kilometre below it
  // where the values rise, the one above it where they fall.
  int cippo_prima_di(int p) const {
    return tratto(p) == 0 ? metri(p) / 1000 : (metri(p) + 999) / 1000;
  }
};

inline progressiva progressiva_predefinita() {
  const auto due = righe_sorgente(righe_linea(), "progressiva chilometrica due", 3, false);
  const auto tre = righe_sorgente(righe_linea(), "progressiva chilometrica tre", 3, false);
  const auto stazioni = righe_sorgente(righe_treno(), "stazione", 16, true);
  if (due.size() != 1 || tre.size() != 1 || stazioni.size() < 17) {
    ADD_FAILURE() << "sorgenti incomplete";
    return {};
  }
  return {due[0].numeri[0], due[0].numeri[1], stazioni[16].numeri[0], tre[0].numeri[1]};
}

}  // namespace scenario::prova
