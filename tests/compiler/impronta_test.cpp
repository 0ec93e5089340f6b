// Every byte of the built-in scenario's compiled files, pinned by a fingerprint
// of each. The plan is a chain of 100 000 floating-point steps: a reordered
// operation, a fused multiply-add or another rounding shows here first. A
// deliberate change of content updates these numbers in the same commit.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/memorizza_percorso.h"
#include "sources/dati_linea.h"
#include "sources/dati_treno.h"
#include "sources/nomi_file.h"

namespace scenario {
namespace {

// FNV-1a, 64 bits.
uint64_t impronta(std::string_view byte) {
  uint64_t h = 0xcbf29ce484222325ULL;
  for (unsigned char c : byte) {
    h ^= c;
    h *= 0x100000001b3ULL;
  }
  return h;
}

TEST(Impronta, IFileCompilatiDelloScenarioPredefinito) {
  const nomi_file nomi{std::string(linea_predefinita), std::string(treno_predefinito)};
  disco_memoria d;
  ASSERT_TRUE(dati_linea(d, nomi.nome_linea).ok);
  ASSERT_TRUE(dati_treno(d, nomi.nome_linea, nomi.nome_treno).ok);
  stato s;
  s.nome_linea = nomi.nome_linea;
  s.nome_treno = nomi.nome_treno;
  ASSERT_EQ(memorizza_percorso(s, d, 1).errore_fatale, 0);

  EXPECT_EQ(impronta(d.file.at(nomi.linea_compilata())), 0xf6bc6ee778c6d663ULL);
  EXPECT_EQ(impronta(d.file.at(nomi.treno_compilato())), 0xffc31d7c46311b52ULL);
  EXPECT_EQ(impronta(d.file.at(nomi.griglia_compilata())), 0x2d98db5d8174f3d2ULL);
}

}  // namespace
}  // namespace scenario
