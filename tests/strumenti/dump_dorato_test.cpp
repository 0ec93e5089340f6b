// The golden dump: the built-in scenario's three compiled files as readable
// text (the grid and the table whole, as inspect --all writes them; the plan
// as its first point and a fingerprint of every point, kilometre by
// kilometre), held in the repository and compared as text, so a failure
// names the cell, row or kilometre that changed. A deliberate change of
// content rewrites the file with SCENARIO_AGGIORNA_DORATO=1 in the same
// commit. The fingerprint test of the compiler still pins every byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "strumenti/confronto_testo.h"
#include "strumenti/decodifica.h"
#include "strumenti/ispeziona.h"
#include "strumenti/predefinito_prova.h"

#ifndef SCENARIO_DUMP_DORATO
#error "SCENARIO_DUMP_DORATO names the golden dump"
#endif

namespace scenario {
namespace {

// FNV-1a over each point's two tags and value bits.
std::string impronta_km(const tracciato& t, int32_t da, int32_t a) {
  uint64_t h = 0xcbf29ce484222325ULL;
  const auto aggiungi = [&h](uint64_t v, int byte) {
    for (int i = 0; i < byte; ++i) {
      h ^= (v >> (8 * i)) & 0xFF;
      h *= 0x100000001b3ULL;
    }
  };
  for (int32_t m = da; m <= a; ++m) {
    for (int colonna = 0; colonna < 2; ++colonna) {
      aggiungi(static_cast<uint64_t>(t.tipo(m, colonna)), 1);
      aggiungi(std::bit_cast<uint64_t>(t.valore(m, colonna)), 8);
    }
  }
  std::array<char, 20> b{};
  std::snprintf(b.data(), b.size(), "%016llx", static_cast<unsigned long long>(h));
  return b.data();
}

// "km K: <the inspect line of its first point>; impronta H" for every
// kilometre the plan reaches.
std::string piano_per_km(const std::string& nome, const tracciato& t) {
  const int32_t punti = t.allocato() ? t.fine() + 1 : 0;
  std::string r = "piano " + nome + ": " + std::to_string(punti) + " punti, per chilometro\n";
  for (int32_t da = 0; da < punti; da += 1000) {
    std::ostringstream punto;
    scrivi_piano(punto, nome, t, {false, true, da, da});
    const std::string testo = punto.str();
    const std::string riga = testo.substr(testo.find('\n') + 1);
    r += "km " + std::to_string(da / 1000) + ": " + riga.substr(0, riga.size() - 1) +
         "; impronta " + impronta_km(t, da, std::min(da + 999, punti - 1)) + "\n";
  }
  return r;
}

std::string dump_canonico(const disco_memoria& d, const nomi_file& n) {
  std::vector<cella> celle;
  tabella righe{};
  tracciato piano;
  EXPECT_FALSE(decodifica_griglia(d.file.at(n.griglia_compilata()), celle));
  EXPECT_FALSE(decodifica_tabella(d.file.at(n.treno_compilato()), righe));
  EXPECT_FALSE(decodifica_piano(d.file.at(n.linea_compilata()), piano));
  std::ostringstream out;
  scrivi_griglia(out, n.griglia_compilata(), celle, {false, true, {}, {}});
  scrivi_tabella(out, n.treno_compilato(), righe, {false, true, {}, {}});
  return out.str() + piano_per_km(n.linea_compilata(), piano);
}

std::string leggi_file(const char* percorso) {
  std::ifstream f(percorso, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST(DumpDorato, LoScenarioPredefinitoComeTesto) {
  const std::string ottenuto =
      dump_canonico(prova::compilati_predefiniti(), prova::nomi_predefiniti());
  if (std::getenv("SCENARIO_AGGIORNA_DORATO") != nullptr) {
    std::ofstream(SCENARIO_DUMP_DORATO, std::ios::binary) << ottenuto;
    GTEST_SKIP() << "riscritto " << SCENARIO_DUMP_DORATO;
  }
  const std::string atteso = leggi_file(SCENARIO_DUMP_DORATO);
  ASSERT_FALSE(atteso.empty()) << SCENARIO_DUMP_DORATO << " manca o e' vuoto";
  const std::string differenza = prova::prima_differenza(atteso, ottenuto);
  EXPECT_EQ(differenza, "") << "il dump dello scenario predefinito e' cambiato ("
                            << SCENARIO_DUMP_DORATO << "):\n"
                            << differenza;
}

TEST(DumpDorato, LaPrimaDifferenzaNominaLeRighe) {
  const struct {
    const char* atteso;
    const char* ottenuto;
    const char* differenza;
  } casi[] = {
      {"a\nb\nc\n", "a\nb\nc\n", ""},
      {"a\nb\nc\n", "a\nx\nc\n",
       "riga 2: atteso:   b\nriga 2: ottenuto: x\nriga 3: atteso:   c\nriga 3: ottenuto: c\n"},
      {"a\nb\n", "a\n", "riga 2: atteso:   b\nriga 2: ottenuto: (fine del testo)\n"},
      {"a\n", "a", "i testi differiscono solo nell'ultimo a capo\n"},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(prova::prima_differenza(c.atteso, c.ottenuto), c.differenza) << c.ottenuto;
  }
}

}  // namespace
}  // namespace scenario
