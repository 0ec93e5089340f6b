// The compile step end to end on small sources: which compiled files it leaves
// in the disk and what their header slots hold, the two fatal checks, the
// missing grid, a disk that refuses a write and one that fails under the parser.
#include "compiler/memorizza_percorso.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/sorgenti_prova.h"

namespace scenario {
namespace {

using prova::banco;

int16_t i16(const std::string& b, size_t at) {
  return static_cast<int16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}
int32_t i32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t{static_cast<uint8_t>(b[at + i])} << (8 * i);
  return static_cast<int32_t>(v);
}

TEST(MemorizzaPercorso, ScriveITreFileConIntestazioneECodici) {
  banco b(prova::linea({"curvas4,  250,  400"}), prova::treno({"velocita, 0, 80"}));
  b.s.codice_errore = 99;
  b.s.tabella_scenario[40].nome = "resto di un'altra compilazione";
  const esito_compilazione e = memorizza_percorso(b.s, b.d, 1);
  ASSERT_TRUE(e.io.ok);
  EXPECT_EQ(e.errore_fatale, 0);
  EXPECT_EQ(b.s.codice_errore, 0);
  EXPECT_FALSE(b.c_e(b.nomi.sorgente_linea()));
  EXPECT_FALSE(b.c_e(b.nomi.sorgente_treno()));

  // Points 0 and 1 integers, 2 to 16998 doubles, the last two empty.
  EXPECT_EQ(b.d.file.at(b.nomi.linea_compilata()).size(), 2u * (4 + 4 + 16997 * 10 + 2 + 2));
  const std::string& griglia = b.d.file.at(b.nomi.griglia_compilata());
  ASSERT_EQ(griglia.size(), 15u * 341);
  EXPECT_EQ(i16(griglia, 15 + 1), 5121);
  EXPECT_EQ(i16(griglia, 15 + 3), 2904);  // codice_gara_og of "T" and "L"
  // Every row empty but 84, 85 and 86; the names "L" and "T" add one byte each.
  const std::string& treno = b.d.file.at(b.nomi.treno_compilato());
  ASSERT_EQ(treno.size(), 87u * 34 + 2);
  const size_t riga85 = 85 * 34;
  EXPECT_EQ(treno.substr(riga85 + 16, 1), "L");
  EXPECT_EQ(i16(treno, riga85 + 17), 610);
  EXPECT_EQ(i32(treno, riga85 + 31), 38171);  // codice_gara_st
}

TEST(MemorizzaPercorso, SenzaGeneraLineaIlVecchioFileLineaResta) {
  banco b(prova::linea({"curvas4,  250,  400"}), prova::treno({}));
  b.d.file[b.nomi.linea_compilata()] = "vecchio";
  const esito_compilazione e = memorizza_percorso(b.s, b.d, 0);
  ASSERT_TRUE(e.io.ok);
  EXPECT_EQ(e.errore_fatale, 0);
  EXPECT_EQ(b.d.file.at(b.nomi.linea_compilata()), "vecchio");
  EXPECT_TRUE(b.c_e(b.nomi.treno_compilato()));
  EXPECT_TRUE(b.c_e(b.nomi.griglia_compilata()));
}

// An error after the route length still leaves a plan of that length, all empty.
TEST(MemorizzaPercorso, DopoUnAbbandonoIlTracciatoEVuoto) {
  banco b(prova::linea({}, {"ripetizione segnali 4 codici, 25, 0"}), prova::treno({}));
  const esito_compilazione e = memorizza_percorso(b.s, b.d, 1);
  EXPECT_EQ(e.errore_fatale, 0);
  EXPECT_EQ(b.s.codice_errore, 3);
  EXPECT_EQ(b.d.file.at(b.nomi.linea_compilata()), std::string(2 * 17001 * 2, '\0'));
}

struct caso_fatale {
  const char* nome;
  std::optional<std::string> linea;
  std::string treno;
  int32_t errore;
};

// Nothing compiled may reach the disk when the step stops before its files.
TEST(MemorizzaPercorso, ErroriFataliNonScrivonoNulla) {
  const std::vector<caso_fatale> casi = {
      {"1250: un codice in cella 1", prova::linea({}), prova::treno({"abbattimento, 50, 60"}),
       1250},
      {"1251: un secondo valore in cella 1", prova::linea({}),
       prova::treno({"rallentamento, 0, 0, 500, 0, 0, 7"}), 1251},
      {"101: nessuna griglia", std::nullopt, prova::treno({}), 101},
      {"25: nessuna lunghezza del percorso", prova::testo({"[generale]", "[curve]", "[fine]"}),
       prova::treno({}), 25},
  };
  for (const caso_fatale& c : casi) {
    SCOPED_TRACE(c.nome);
    banco b(1);
    if (c.linea) b.d.file[b.nomi.sorgente_linea()] = *c.linea;
    b.d.file[b.nomi.sorgente_treno()] = c.treno;
    const esito_compilazione e = memorizza_percorso(b.s, b.d, 1);
    EXPECT_TRUE(e.io.ok);
    EXPECT_EQ(e.errore_fatale, c.errore);
    EXPECT_FALSE(b.c_e(b.nomi.linea_compilata()));
    EXPECT_FALSE(b.c_e(b.nomi.treno_compilato()));
    EXPECT_FALSE(b.c_e(b.nomi.griglia_compilata()));
  }
}

TEST(MemorizzaPercorso, Dopo1251LeCostantiSonoGiaInMemoria) {
  banco b(prova::linea({}), prova::treno({"rallentamento, 0, 0, 500, 0, 0, 7"}));
  EXPECT_EQ(memorizza_percorso(b.s, b.d, 1).errore_fatale, 1251);
  EXPECT_EQ(b.riga(85).dato4, 610);
  EXPECT_EQ(b.in(1).valore1, 5121);
  EXPECT_EQ(b.riga(85).orario, 0);
}

TEST(MemorizzaPercorso, UnErroreRegistratoNonFermaLaScrittura) {
  banco b(prova::linea({"pendenza, 16950, 3"}), prova::treno({}));
  const esito_compilazione e = memorizza_percorso(b.s, b.d, 1);
  EXPECT_EQ(e.errore_fatale, 0);
  EXPECT_EQ(b.s.codice_errore, 15);
  EXPECT_EQ(b.s.posizione_errore, 16950);
  EXPECT_TRUE(b.c_e(b.nomi.linea_compilata()));
  EXPECT_TRUE(b.c_e(b.nomi.treno_compilato()));
  EXPECT_TRUE(b.c_e(b.nomi.griglia_compilata()));
}

// Refuses the n-th whole-file replacement.
class disco_che_cede : public disco_memoria {
 public:
  explicit disco_che_cede(int n) : n_(n) {}
  esito_io sostituisci(const std::string& nome, std::string_view contenuto) override {
    if (--n_ == 0) return esito_io::fallito(nome, "disco pieno");
    return disco_memoria::sostituisci(nome, contenuto);
  }

 private:
  int n_;
};

TEST(MemorizzaPercorso, UnaScritturaRifiutataFermaLeSeguenti) {
  const nomi_file nomi{"L", "T"};
  const std::vector<std::string> ordine = {nomi.linea_compilata(), nomi.treno_compilato(),
                                           nomi.griglia_compilata()};
  for (size_t n = 1; n <= ordine.size(); ++n) {
    SCOPED_TRACE(ordine[n - 1]);
    disco_che_cede d(static_cast<int>(n));
    d.file[nomi.sorgente_linea()] = prova::linea({});
    d.file[nomi.sorgente_treno()] = prova::treno({});
    stato s;
    s.nome_linea = nomi.nome_linea;
    s.nome_treno = nomi.nome_treno;
    const esito_compilazione e = memorizza_percorso(s, d, 1);
    EXPECT_FALSE(e.io.ok);
    EXPECT_EQ(e.io.file, ordine[n - 1]);
    for (size_t k = 0; k < ordine.size(); ++k) {
      EXPECT_EQ(d.file.count(ordine[k]) != 0, k + 1 < n) << ordine[k];
    }
  }
}

// Fails reading or deleting one source, like a disk that gives way under the parser.
class disco_che_non_legge : public disco_memoria {
 public:
  disco_che_non_legge(std::string nome, bool in_lettura)
      : nome_(std::move(nome)), in_lettura_(in_lettura) {}
  esito_io leggi(const std::string& nome, std::string& contenuto) override {
    if (in_lettura_ && nome == nome_) return esito_io::fallito(nome, "errore di lettura");
    return disco_memoria::leggi(nome, contenuto);
  }
  esito_io elimina(const std::string& nome) override {
    if (!in_lettura_ && nome == nome_) return esito_io::fallito(nome, "errore di eliminazione");
    return disco_memoria::elimina(nome);
  }

 private:
  std::string nome_;
  bool in_lettura_;
};

// Half a scenario must not replace the compiled files of an earlier run: the
// compile stops at the disk's failure and names it.
TEST(MemorizzaPercorso, UnaSorgenteCheIlDiscoNonDaNonScriveICompilati) {
  const nomi_file nomi{"L", "T"};
  struct caso {
    std::string sorgente;
    bool in_lettura;
  };
  const caso casi[] = {{nomi.sorgente_linea(), true},
                       {nomi.sorgente_linea(), false},
                       {nomi.sorgente_treno(), true},
                       {nomi.sorgente_treno(), false}};
  for (const caso& c : casi) {
    SCOPED_TRACE(c.sorgente + (c.in_lettura ? " read" : " deleted"));
    disco_che_non_legge d(c.sorgente, c.in_lettura);
    d.file[nomi.sorgente_linea()] = prova::linea({"pendenza, 500, 3"});
    d.file[nomi.sorgente_treno()] = prova::treno({prova::stazione(2000, 12, 400)});
    for (const std::string& n :
         {nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()})
      d.file[n] = "vecchio";
    stato s;
    s.nome_linea = nomi.nome_linea;
    s.nome_treno = nomi.nome_treno;

    const esito_compilazione e = memorizza_percorso(s, d, 1);

    EXPECT_FALSE(e.io.ok);
    EXPECT_EQ(e.io.file, c.sorgente);
    EXPECT_EQ(s.codice_errore, 25);
    for (const std::string& n :
         {nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()})
      EXPECT_EQ(d.file.at(n), "vecchio") << n;
  }
}

}  // namespace
}  // namespace scenario
