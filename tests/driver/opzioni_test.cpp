// The command line of the authors' tools: what each line asks for, and the
// one-line reason a wrong line is refused (status 64, a hint to --help).
#include "driver/opzioni.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver/comandi.h"

namespace scenario {
namespace {

// The command word; "help" and "version" for those two.
struct caso_buono {
  std::vector<std::string> riga;
  std::string cosa;
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
      {{"compile", "L", "T"}, "compile", {"L", "T"}, {}, {}, {}, false, false},
      {{"compile", "L", "T", "--dir", "d"}, "compile", {"L", "T"}, "d", {}, {}, false, false},
      {{"compile", "--dir=d", "L", "T"}, "compile", {"L", "T"}, "d", {}, {}, false, false},
      {{"-Cd", "compile", "L", "T"}, "compile", {"L", "T"}, "d", {}, {}, false, false},
      {{"compile", "L", "-C", "d", "T", "-o", "u"},
       "compile",
       {"L", "T"},
       "d",
       "u",
       {},
       false,
       false},
      {{"draw", "--out", "u", "L", "T"}, "draw", {"L", "T"}, {}, "u", {}, false, false},
      {{"draw", "L", "T", "--output-dir=u/v"}, "draw", {"L", "T"}, {}, "u/v", {}, false, false},
      {{"inspect", "f.dat", "--json", "--kind=grid"},
       "inspect",
       {"f.dat"},
       {},
       {},
       "grid",
       true,
       false},
      {{"inspect", "--kind", "plan", "f.bin"}, "inspect", {"f.bin"}, {}, {}, "plan", false, false},
      {{"inspect", "--", "-strano.dat"}, "inspect", {"-strano.dat"}, {}, {}, {}, false, false},
      {{"inspect", "-"}, "inspect", {"-"}, {}, {}, {}, false, false},
      {{"export", "d", "-f"}, "export", {"d"}, {}, {}, {}, false, true},
      {{"export", "--force", "d"}, "export", {"d"}, {}, {}, {}, false, true},
      {{"--help"}, "help", {}, {}, {}, {}, false, false},
      {{"-h"}, "help", {}, {}, {}, {}, false, false},
      {{"compile", "L", "--help"}, "help", {}, {}, {}, {}, false, false},
      {{"--help", "--xyz"}, "help", {}, {}, {}, {}, false, false},
      {{"-fh"}, "help", {}, {}, {}, {}, false, false},
      {{"--version"}, "version", {}, {}, {}, {}, false, false},
      {{"--vers", "draw"}, "version", {}, {}, {}, {}, false, false},
  };
  for (const caso_buono& c : casi) {
    SCOPED_TRACE(unita(c.riga));
    const esito_opzioni e = interpreta_opzioni(c.riga, tabella_comandi());
    ASSERT_TRUE(e.r.has_value()) << e.errore;
    const std::string cosa = e.r->aiuto      ? "help"
                             : e.r->versione ? "version"
                             : e.r->comando  ? std::string(e.r->comando->parola)
                                             : "";
    EXPECT_EQ(cosa, c.cosa);
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
      {{"--json"}, "comando mancante (export, compile, inspect, draw o view)"},
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
      {{"inspect", "f", "--from=trenta"},
       "valore non valido per --from: 'trenta' (chilometri, come 30 o 30.5)"},
      {{"inspect", "f", "--to", "3km"},
       "valore non valido per --to: '3km' (chilometri, come 30 o 30.5)"},
      {{"inspect", "f", "--to="}, "valore non valido per --to: '' (chilometri, come 30 o 30.5)"},
      {{"compile", "L", "T", "--all"}, "l'opzione --all non vale per compile"},
      {{"draw", "L", "T", "--from", "3"}, "l'opzione --from non vale per draw"},
      {{"inspect", "f", "--f", "3"}, "opzione ambigua: --f"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(unita(c.riga));
    const esito_opzioni e = interpreta_opzioni(c.riga, tabella_comandi());
    EXPECT_FALSE(e.r.has_value());
    EXPECT_EQ(e.errore, c.errore);
  }
}

TEST(Opzioni, IlTrattoEIlTuttoDiInspect) {
  const esito_opzioni e = interpreta_opzioni(
      {"inspect", "f.dat", "--from=30", "-a", "--to", "31,5"}, tabella_comandi());
  ASSERT_TRUE(e.r.has_value()) << e.errore;
  EXPECT_TRUE(e.r->tutto);
  EXPECT_EQ(e.r->da_km, "30");
  EXPECT_EQ(e.r->a_km, "31,5");

  const struct {
    const char* testo;
    std::optional<double> metri;
  } km[] = {{"30", 30000},
            {"30.5", 30500},
            {"30,5", 30500},
            {"-0.05", -50},
            {"0", 0},
            {"", std::nullopt},
            {"3e", std::nullopt},
            {"nan", std::nullopt},
            {"inf", std::nullopt},
            {"1 ", std::nullopt},
            {"30.5.1", std::nullopt}};
  for (const auto& k : km) EXPECT_EQ(metri_da_km(k.testo), k.metri) << k.testo;

  // A stretch that ends before it begins is a usage error, not an empty dump.
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(esegui_comando({"inspect", "x.dat", "--from", "31", "--to", "30.5"}, out, err),
            uscita_uso);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "compila_scenario: --from 31 sta oltre --to 30.5\n"
            "Provare 'compila_scenario --help' per maggiori informazioni.\n");
}

// The help is made from the tables: every command with its operands and
// first line of help, every option a command accepts, every exit status.
TEST(Opzioni, LAiutoVieneDalleTabelle) {
  const std::string aiuto = testo_aiuto(tabella_comandi());
  for (const descrizione_comando& c : tabella_comandi()) {
    std::string testa = std::string(c.parola);
    for (std::string_view o : c.operandi) testa += " " + std::string(o);
    EXPECT_NE(aiuto.find("  " + testa + "  "), std::string::npos) << testa;
    const std::string_view prima = c.aiuto.substr(0, c.aiuto.find('\n'));
    EXPECT_NE(aiuto.find(std::string(prima)), std::string::npos) << prima;
    for (std::string_view o : c.opzioni)
      EXPECT_NE(aiuto.find("--" + std::string(o)), std::string::npos) << o;
    EXPECT_NE(c.esegui, nullptr) << c.parola;
  }
  for (const significato_uscita& u : significati_uscita) {
    const std::string numero = std::to_string(u.stato);
    EXPECT_NE(aiuto.find(std::string(4 - numero.size(), ' ') + numero + "  "), std::string::npos)
        << u.stato;
  }
  // Continuation lines stand in the column of the first.
  EXPECT_NE(aiuto.find("  -o, --output-dir=CARTELLA  compile, draw, view: cartella dei file "
                       "scritti, creata\n                             se manca"),
            std::string::npos)
      << aiuto;
}

TEST(Opzioni, AiutoVersioneEErroriDalComando) {
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(esegui_comando({"--help"}, out, err), 0);
  EXPECT_EQ(out.str(), testo_aiuto(tabella_comandi()));
  EXPECT_EQ(err.str(), "");
  for (const char* parola :
       {"export CARTELLA", "compile LINEA TRENO", "inspect FILE", "draw LINEA TRENO", "--dir",
        "--output-dir", "--force", "--json", "--kind", "--help", "--version", "64", "65", "73"}) {
    EXPECT_NE(testo_aiuto(tabella_comandi()).find(parola), std::string::npos) << parola;
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
