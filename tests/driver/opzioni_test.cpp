// The command line of the authors' tools: what each line asks for, and the
// one-line reason a wrong line is refused (status 64, a hint to --help).
#include "driver/opzioni.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver/comandi.h"

namespace scenario {
namespace {

struct caso_buono {
  std::vector<std::string> riga;
  comando cosa;
  std::vector<std::string> operandi;
  std::optional<std::string> cartella;
  std::optional<std::string> cartella_uscita;
  std::optional<std::string> tipo;
  bool json;
  bool forza;
};

std::string unita(const std::vector<std::string>& r) {
  std::string s;
  for (const std::string& p : r) s += "[" + p + "]";
  return s;
}

TEST(Opzioni, RigheCheChiedonoQualcosa) {
  const std::vector<caso_buono> casi = {
      {{"compile", "L", "T"}, comando::compila, {"L", "T"}, {}, {}, {}, false, false},
      {{"compile", "L", "T", "--dir", "d"},
       comando::compila,
       {"L", "T"},
       "d",
       {},
       {},
       false,
       false},
      {{"compile", "--dir=d", "L", "T"}, comando::compila, {"L", "T"}, "d", {}, {}, false, false},
      {{"-Cd", "compile", "L", "T"}, comando::compila, {"L", "T"}, "d", {}, {}, false, false},
      {{"compile", "L", "-C", "d", "T", "-o", "u"},
       comando::compila,
       {"L", "T"},
       "d",
       "u",
       {},
       false,
       false},
      {{"draw", "--out", "u", "L", "T"}, comando::disegna, {"L", "T"}, {}, "u", {}, false, false},
      {{"draw", "L", "T", "--output-dir=u/v"},
       comando::disegna,
       {"L", "T"},
       {},
       "u/v",
       {},
       false,
       false},
      {{"inspect", "f.dat", "--json", "--kind=grid"},
       comando::ispeziona,
       {"f.dat"},
       {},
       {},
       "grid",
       true,
       false},
      {{"inspect", "--kind", "plan", "f.bin"},
       comando::ispeziona,
       {"f.bin"},
       {},
       {},
       "plan",
       false,
       false},
      {{"inspect", "--", "-strano.dat"},
       comando::ispeziona,
       {"-strano.dat"},
       {},
       {},
       {},
       false,
       false},
      {{"inspect", "-"}, comando::ispeziona, {"-"}, {}, {}, {}, false, false},
      {{"export", "d", "-f"}, comando::esporta, {"d"}, {}, {}, {}, false, true},
      {{"export", "--force", "d"}, comando::esporta, {"d"}, {}, {}, {}, false, true},
      {{"--help"}, comando::aiuto, {}, {}, {}, {}, false, false},
      {{"-h"}, comando::aiuto, {}, {}, {}, {}, false, false},
      {{"compile", "L", "--help"}, comando::aiuto, {}, {}, {}, {}, false, false},
      {{"--help", "--xyz"}, comando::aiuto, {}, {}, {}, {}, false, false},
      {{"-fh"}, comando::aiuto, {}, {}, {}, {}, false, false},
      {{"--version"}, comando::versione, {}, {}, {}, {}, false, false},
      {{"--vers", "draw"}, comando::versione, {}, {}, {}, {}, false, false},
  };
  for (const caso_buono& c : casi) {
    SCOPED_TRACE(unita(c.riga));
    const esito_opzioni e = interpreta_opzioni(c.riga);
    ASSERT_TRUE(e.r.has_value()) << e.errore;
    EXPECT_EQ(e.r->cosa, c.cosa);
    EXPECT_EQ(e.r->operandi, c.operandi);
    EXPECT_EQ(e.r->cartella, c.cartella);
    EXPECT_EQ(e.r->cartella_uscita, c.cartella_uscita);
    EXPECT_EQ(e.r->tipo, c.tipo);
    EXPECT_EQ(e.r->json, c.json);
    EXPECT_EQ(e.r->forza, c.forza);
  }
}

TEST(Opzioni, RigheSbagliate) {
  const struct {
    std::vector<std::string> riga;
    std::string errore;
  } casi[] = {
      {{"--xyz"}, "opzione sconosciuta: --xyz"},
      {{"compile", "L", "T", "--xyz=1"}, "opzione sconosciuta: --xyz"},
      {{"-x"}, "opzione sconosciuta: -x"},
      {{"-fx"}, "opzione sconosciuta: -x"},
      {{"--xyz", "--help"}, "opzione sconosciuta: --xyz"},
      {{"frobnicate"}, "comando sconosciuto: frobnicate"},
      {{"Compile", "L", "T"}, "comando sconosciuto: Compile"},
      {{"--json"}, "comando mancante (export, compile, inspect o draw)"},
      {{"compile", "L"}, "compile vuole LINEA TRENO (1 argomento dato)"},
      {{"draw", "L", "T", "U"}, "draw vuole LINEA TRENO (3 argomenti dati)"},
      {{"export"}, "export vuole CARTELLA (0 argomenti dati)"},
      {{"compile", "L", "T", "--dir"}, "l'opzione --dir richiede un argomento"},
      {{"compile", "L", "T", "-C"}, "l'opzione -C richiede un argomento"},
      {{"compile", "L", "T", "--dir="}, "l'opzione --dir richiede un argomento non vuoto"},
      {{"compile", "L", "T", "--json"}, "l'opzione --json non vale per compile"},
      {{"export", "d", "-C", "x"}, "l'opzione -C non vale per export"},
      {{"inspect", "f", "--force"}, "l'opzione --force non vale per inspect"},
      {{"inspect", "f", "--json=1"}, "l'opzione --json non accetta argomenti"},
      {{"inspect", "f", "--kind=foo"},
       "valore non valido per --kind: 'foo' (ammessi: plan, table, grid)"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(unita(c.riga));
    const esito_opzioni e = interpreta_opzioni(c.riga);
    EXPECT_FALSE(e.r.has_value());
    EXPECT_EQ(e.errore, c.errore);
  }
}

TEST(Opzioni, AiutoVersioneEErroriDalComando) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(esegui_comando({"--help"}, out, err), 0);
  EXPECT_EQ(out.str(), testo_aiuto());
  EXPECT_EQ(err.str(), "");
  for (const char* parola :
       {"export CARTELLA", "compile LINEA TRENO", "inspect FILE", "draw LINEA TRENO", "--dir",
        "--output-dir", "--force", "--json", "--kind", "--help", "--version", "64", "65", "73"}) {
    EXPECT_NE(testo_aiuto().find(parola), std::string::npos) << parola;
  }

  std::ostringstream versione;
  EXPECT_EQ(esegui_comando({"--version"}, versione, err), 0);
  EXPECT_EQ(versione.str().rfind("compila_scenario ", 0), 0u);
  EXPECT_NE(versione.str(), "compila_scenario 0.0.0\n") << "the version comes from the project";

  std::ostringstream niente;
  std::ostringstream errore;
  EXPECT_EQ(esegui_comando({"--xyz"}, niente, errore), uscita_uso);
  EXPECT_EQ(niente.str(), "");
  EXPECT_EQ(errore.str(),
            "compila_scenario: opzione sconosciuta: --xyz\n"
            "Provare 'compila_scenario --help' per maggiori informazioni.\n");
}

TEST(Opzioni, IdentificatoriCheNominanoAltreCartelle) {
  for (const std::string& id :
       std::vector<std::string>{"", "a/b", "a\\b", std::string("a\0b", 3)}) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(esegui_comando({"compile", id, "T"}, out, err), uscita_uso) << id;
    EXPECT_EQ(err.str().rfind("compila_scenario: identificatore non valido: '", 0), 0u)
        << err.str();
  }
}

}  // namespace
}  // namespace scenario
