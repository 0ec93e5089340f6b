// Every byte of the built-in scenario's compiled files, pinned by a fingerprint
// of each. The plan is a chain of 100 000 floating-point steps: a reordered
// operation, a fused multiply-add or another rounding shows here first. A
// deliberate change of content updates these numbers in the same commit.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/scenario_predefinito_prova.h"

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
  const prova::predefinito_compilato p = prova::compila_predefinito();
  ASSERT_EQ(p.esito.errore_fatale, 0);
  const nomi_file& nomi = p.nomi;
  const disco_memoria& d = p.d;

  EXPECT_EQ(impronta(d.file.at(nomi.linea_compilata())), 0xf6bc6ee778c6d663ULL);
  EXPECT_EQ(impronta(d.file.at(nomi.treno_compilato())), 0xffc31d7c46311b52ULL);
  EXPECT_EQ(impronta(d.file.at(nomi.griglia_compilata())), 0x2d98db5d8174f3d2ULL);
}

}  // namespace
}  // namespace scenario
