#include "driver/esecuzione.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "finestra_registro.h"
#include "sources/disco.h"
#include "sources/nomi_file.h"

namespace scenario {
namespace {

const nomi_file nomi = nomi_file::predefiniti();

using prova::finestra_registro;

// An in-memory disk that records the order of writes, can fail one name, and
// can rewrite a file on its way in (to feed the compiler a faulty source).
class disco_prova : public disco_memoria {
 public:
  explicit disco_prova(const finestra_registro& f) : f_(f) {}

  esito_io sostituisci(const std::string& nome, std::string_view contenuto) override {
    if (f_.attendere == 0) scritto_prima_di_attendere = true;
    scritti.push_back(nome);
    if (nome == guasto_scrittura) return esito_io::fallito(nome, "guasto simulato");
    if (nome == da_ritoccare)
      return disco_memoria::sostituisci(nome, ritocco(std::string(contenuto)));
    return disco_memoria::sostituisci(nome, contenuto);
  }
  esito_io elimina(const std::string& nome) override {
    if (nome == guasto_eliminazione) return esito_io::fallito(nome, "guasto simulato");
    return disco_memoria::elimina(nome);
  }
  bool esiste(const std::string& nome) override {
    return nome != nascosto && disco_memoria::esiste(nome);
  }
  esito_io leggi(const std::string& nome, std::string& contenuto) override {
    if (nome == nascosto) return esito_io::fallito(nome, "file inesistente");
    return disco_memoria::leggi(nome, contenuto);
  }

  std::string guasto_scrittura;
  std::string guasto_eliminazione;
  std::string nascosto;
  std::string da_ritoccare;
  std::string (*ritocco)(std::string) = nullptr;
  std::vector<std::string> scritti;
  bool scritto_prima_di_attendere = false;

 private:
  const finestra_registro& f_;
};

std::vector<std::string> ordine_di_scrittura() {
  return {nomi.sorgente_linea(),  nomi.sorgente_treno(),   nomi.note(),
          nomi.rallentamenti(),   nomi.scheda_treno(),     nomi.linea_compilata(),
          nomi.treno_compilato(), nomi.griglia_compilata()};
}

std::set<std::string> nomi_presenti(const disco_memoria& d) {
  std::set<std::string> s;
  for (const auto& [nome, contenuto] : d.file) s.insert(nome);
  return s;
}

TEST(Esegui, MostraAttendereEScriveOgniFileNelSuoOrdine) {
  finestra_registro f;
  disco_prova d(f);
  ::testing::internal::CaptureStderr();
  int stato = esegui(d, f);
  const std::string errori = ::testing::internal::GetCapturedStderr();

  EXPECT_EQ(stato, uscita_normale) << errori;
  EXPECT_EQ(errori, "");
  EXPECT_EQ(f.attendere, 1);
  EXPECT_TRUE(f.errori.empty());
  EXPECT_FALSE(d.scritto_prima_di_attendere);
  EXPECT_EQ(d.scritti, ordine_di_scrittura());
  // The parser has deleted both sources.
  EXPECT_EQ(nomi_presenti(d),
            (std::set<std::string>{nomi.note(), nomi.rallentamenti(), nomi.scheda_treno(),
                                   nomi.linea_compilata(), nomi.treno_compilato(),
                                   nomi.griglia_compilata()}));
}

TEST(Esegui, UnGuastoDelDiscoFermaLaRunConUnaRiga) {
  for (const std::string& nome : ordine_di_scrittura()) {
    SCOPED_TRACE(nome);
    finestra_registro f;
    disco_prova d(f);
    d.guasto_scrittura = nome;
    ::testing::internal::CaptureStderr();
    int stato = esegui(d, f);
    const std::string errori = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(stato, uscita_disco);
    EXPECT_EQ(errori, "compila_scenario: " + nome + ": guasto simulato\n");
    EXPECT_TRUE(f.errori.empty());
    ASSERT_FALSE(d.scritti.empty());
    EXPECT_EQ(d.scritti.back(), nome) << "a step ran after the failure";
  }
}

TEST(Esegui, UnaSorgenteCheNonSiEliminaFermaLaRun) {
  for (const std::string& nome : {nomi.sorgente_linea(), nomi.sorgente_treno()}) {
    SCOPED_TRACE(nome);
    finestra_registro f;
    disco_prova d(f);
    d.guasto_eliminazione = nome;
    ::testing::internal::CaptureStderr();
    int stato = esegui(d, f);
    const std::string errori = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(stato, uscita_disco);
    EXPECT_EQ(errori, "compila_scenario: " + nome + ": guasto simulato\n");
  }
}

// The first signal row twice: the second lands on the cell the first holds.
std::string segnale_doppio(std::string sorgente) {
  const std::string riga = "segnale,   10700,   1, 3, 1,  0, 0,    0,  0,0,0, 0\r\n";
  auto dove = sorgente.find(riga);
  if (dove != std::string::npos) sorgente.insert(dove, riga);
  return sorgente;
}

TEST(Esegui, UnErroreRegistratoSiRiferisceDopoAverScrittoLeUscite) {
  finestra_registro f;
  disco_prova d(f);
  d.da_ritoccare = nomi.sorgente_treno();
  d.ritocco = segnale_doppio;
  ::testing::internal::CaptureStderr();
  int stato = esegui(d, f);
  const std::string errori = ::testing::internal::GetCapturedStderr();

  EXPECT_EQ(stato, uscita_codice_errore);
  EXPECT_EQ(errori,
            "compila_scenario: errore 16 alla posizione 10700 m: segnale su una cella occupata\n");
  EXPECT_TRUE(f.errori.empty());
  EXPECT_TRUE(d.esiste(nomi.treno_compilato()));
  EXPECT_TRUE(d.esiste(nomi.griglia_compilata()));
}

TEST(Esegui, SenzaGrigliaMostraIlRiquadroENonScriveICompilati) {
  finestra_registro f;
  disco_prova d(f);
  d.nascosto = nomi.sorgente_linea();
  ::testing::internal::CaptureStderr();
  int stato = esegui(d, f);
  const std::string errori = ::testing::internal::GetCapturedStderr();

  EXPECT_EQ(stato, uscita_errore) << errori;
  EXPECT_EQ(f.errori, std::vector<std::string>{" Errore n. 101"});
  // The box holds the number alone; its meaning goes to standard error.
  EXPECT_EQ(errori, "compila_scenario: errore 101: file sorgente della linea mancante\n");
  for (const auto& nome :
       {nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()})
    EXPECT_FALSE(d.esiste(nome)) << nome;
}

}  // namespace
}  // namespace scenario
