// File names shown printable: valid UTF-8 as it stands, control characters
// and bytes outside UTF-8 escaped, so no name can drive a terminal or break
// the text or the JSON around it.
#include "sources/nome_stampabile.h"

#include <gtest/gtest.h>

#include <string>

#include "strumenti/json_prova.h"

namespace scenario {
namespace {

TEST(NomeStampabile, ControlliEByteFuoriDaUtf8Escapati) {
  const struct {
    const char* cosa;
    std::string nome;
    std::string testo;
    std::string json;
  } casi[] = {
      {"ASCII", "s/L_T.sim", "s/L_T.sim", "\"s/L_T.sim\""},
      {"UTF-8 valido", "citt\xC3\xA0_\xE2\x82\xAC_\xF0\x9F\x9A\x82.dat",
       "citt\xC3\xA0_\xE2\x82\xAC_\xF0\x9F\x9A\x82.dat",
       "\"citt\xC3\xA0_\xE2\x82\xAC_\xF0\x9F\x9A\x82.dat\""},
      {"ESC che pulisce lo schermo", "a\x1B[2Jb", "a\\x1B[2Jb", "\"a\\u001B[2Jb\""},
      {"a capo e ritorno", "x\ny\rz", "x\\x0Ay\\x0Dz", "\"x\\u000Ay\\u000Dz\""},
      {"tabulazione e DEL", "\t\x7F", "\\x09\\x7F", "\"\\u0009\\u007F\""},
      {"C1 in UTF-8", "a\xC2\x85", "a\\xC2\\x85", "\"a\\u0085\""},
      {"byte Windows-1252", "citt\xE0.sim", "citt\\xE0.sim", "\"citt\\\\xE0.sim\""},
      {"forma troppo lunga", "\xC0\xAF", "\\xC0\\xAF", "\"\\\\xC0\\\\xAF\""},
      {"surrogato", "\xED\xA0\x80", "\\xED\\xA0\\x80", "\"\\\\xED\\\\xA0\\\\x80\""},
      {"oltre U+10FFFF", "\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80",
       "\"\\\\xF4\\\\x90\\\\x80\\\\x80\""},
      {"sequenza troncata alla fine", "a\xE2\x82", "a\\xE2\\x82", "\"a\\\\xE2\\\\x82\""},
      {"virgolette e barra rovescia", "a\"b\\c", "a\"b\\c", "\"a\\\"b\\\\c\""},
      {"vuoto", "", "", "\"\""},
      {"NUL", std::string("a\0b", 3), "a\\x00b", "\"a\\u0000b\""},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.cosa);
    EXPECT_EQ(nome_stampabile(c.nome), c.testo);
    EXPECT_EQ(nome_json(c.nome), c.json);
    EXPECT_EQ(prova::errore_json(nome_json(c.nome)), "");
  }
}

TEST(NomeStampabile, LaRigaDiUnGuastoNomeEMotivoStampabili) {
  EXPECT_EQ(riga_guasto(esito_io::fallito("d\x1B/f.dat", "No such file or directory")),
            "compila_scenario: d\\x1B/f.dat: No such file or directory");
  EXPECT_EQ(riga_guasto(esito_io::fallito("f", "nuovi: a\x07")),
            "compila_scenario: f: nuovi: a\\x07");
}

}  // namespace
}  // namespace scenario
