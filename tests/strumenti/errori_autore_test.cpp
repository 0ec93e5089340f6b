// The author's mistakes, each on the built-in sources: the exact diagnostics
// `compile` gives (severity, file:line:column, message, in source order) and,
// where they are only warnings, compiled bytes that are exactly those of the
// same texts compiled by the default run's compile step.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "strumenti/compila_sorgenti.h"
#include "strumenti/predefinito_prova.h"

namespace scenario {
namespace {

const nomi_file nomi = prova::nomi_predefiniti();
const std::string L = nomi.sorgente_linea();
const std::string T = nomi.sorgente_treno();

// One edit of a source: the first `da` replaced by `a`; with `a` empty, the
// source is cut off where `da` stands.
struct modifica {
  std::string file;
  std::string da;
  std::string a;
};

struct caso_autore {
  std::string nome;
  std::vector<modifica> modifiche;
  std::vector<std::string> diagnosi;  // the message lines, without quotes and carets
  bool scrive = true;                 // only warnings: the files are written
};

std::vector<caso_autore> casi() {
  return {
      {"parola chiave sbagliata: il segnale cade",
       {{T, "segnale,   10700", "segnael,   10700"}},
       {T +
        ":46:1: avviso: parola chiave sconosciuta \"segnael\": riga ignorata (forse: segnale)"}},
      {"stazione sbagliata",
       {{T, "stazione,   13450", "stazoine,   13450"}},
       {T + ":25:1: avviso: parola chiave sconosciuta \"stazoine\": riga ignorata (forse: "
            "stazione)"}},
      {"pendenza sbagliata",
       {{L, "pendenza,  500,", "pendneza,  500,"}},
       {L + ":174:1: avviso: parola chiave sconosciuta \"pendneza\": riga ignorata (forse: "
            "pendenza)"}},
      {"curva sbagliata",
       {{L, "curvas4,  250", "cruvas4,  250"}},
       {L + ":11:1: avviso: parola chiave sconosciuta \"cruvas4\": riga ignorata (forse: "
            "curvad5)"}},
      {"velocita sbagliata",
       {{T, "velocita,   24600", "velocta,   24600"}},
       {T + ":16:1: avviso: parola chiave sconosciuta \"velocta\": riga ignorata (forse: "
            "velocita)"}},
      {"numero di vetture sbagliato: treno di 0 vetture",
       {{T, "numero vetture", "numero vettrue"}},
       {T + ":1:1: avviso: manca \"numero vetture\": il treno ha 0 vetture",
        T + ":2:1: avviso: parola chiave sconosciuta \"numero vettrue\": riga ignorata (forse: "
            "numero vetture)"}},
      {"una lettera in un numero",
       {{T, "velocita,   24600,    40", "velocita,   24600,    l5"}},
       {T + ":16:23: avviso: numero non intero \"l5\": letto come 0"}},
      {"un decimale in un numero",
       {{T, "velocita,   24600,    40", "velocita,   24600,    15.5"}},
       {T + ":16:23: avviso: numero non intero \"15.5\": letto come 0"}},
      {"un limite non multiplo di 5",
       {{T, "velocita,   24600,    40", "velocita,   24600,    42"}},
       {T + ":16:23: avviso: limite 42 km/h non multiplo di 5: memorizzato come 40 km/h"}},
      {"una tabulazione in una pendenza",
       {{L, "pendenza,  5200,   15", "pendenza,  5200,\t15"}},
       {L + ":179:17: avviso: tabulazione nel campo \"\\t15\": i campi si separano con spazi e "
            "virgole; letto come 0"}},
      {"una tabulazione in una stazione: l'errore alla sua causa",
       {{T, "stazione,       0, 12,  500", "stazione,       0, 12,\t500"}},
       {T + ":21:23: errore 24: area della stazione che finisce entro i primi 100 m",
        T + ":21:23: nota: tabulazione nel campo \"\\t500\": i campi si separano con spazi e "
            "virgole; letto come 0"},
       false},
      {"una tabulazione in un segnale: l'errore alla sua causa",
       {{T, "segnale,   10700", "segnale,\t10700"}},
       {T + ":46:9: errore 26: oggetto fuori dalla griglia del percorso",
        T + ":46:9: nota: tabulazione nel campo \"\\t10700\": i campi si separano con spazi e "
            "virgole; letto come 0"},
       false},
      {"[generale] sbagliata nel file del treno",
       {{T, "[generale]", "[generle]"}},
       {T + ":1:1: avviso: intestazione sconosciuta (forse: [generale]): senza [generale] il "
            "file del treno non e' usato (nessuna stazione, nessun segnale, limite di velocita' "
            "0)"}},
      {"la linea tagliata prima di [pendenze]",
       {{L, "[pendenze]", ""}},
       {L + ":170:19: avviso: il file finisce prima di [fine]"}},
      {"l'ultima riga senza valori",
       {{T, "[fine]", "sabbia"}},
       {T + ":70:1: avviso: il file finisce prima di [fine]: l'ultima riga \"sabbia\" non e' "
            "letta"}},
      {"lunghezza del percorso sbagliata",
       {{L, "lunghezza percorso", "lungheza percorso"}},
       {L + ":2:1: avviso: parola chiave sconosciuta \"lungheza percorso\": riga ignorata "
            "(forse: lunghezza percorso)",
        L + ":2:1: errore 25: errore di lettura o di esecuzione nel file sorgente",
        L + ":2:1: nota: manca la riga \"lunghezza percorso\" in [generale]: senza di essa la "
            "griglia del percorso non esiste"},
       false},
      {"un errore nella linea e uno nel treno",
       {{L, "pendenza,  500,   3", "pendenza,  500000,   3"},
        {T, "stazione,   13450", "stazione,   13475"}},
       {L + ":174:1: errore 15: riga oltre la fine della griglia",
        T + ":25:1: errore 8: posizione della stazione non multipla di 50"},
       false},
      {"un nome in UTF-8",
       {{T, "VAL FIORITA", "VAL FIORIT\u00c0 SANT\u2019ANNA"}},
       {T + ":28:83: avviso: carattere UTF-8 \"\u00c0\" nel testo: i file compilati hanno un "
            "byte per carattere e gli strumenti lo mostrano come \"\u00c3\u20ac\"; scrivere "
            "\"A'\""}},
      {"un nome tra virgolette su due righe",
       {{T, "VAL FIORITA", "\"VAL\r\nFIORIT\u00c0\""}},
       {T + ":28:77: avviso: carattere di controllo nel campo \"\"VAL\\x0D\\x0AFIORIT\u00c0\"\": i "
            "campi si separano con spazi e virgole; letto come \"VAL\\x0D\\x0AFIORIT\u00c0\"",
        T + ":29:7: avviso: carattere UTF-8 \"\u00c0\" nel testo: i file compilati hanno un "
            "byte per carattere e gli strumenti lo mostrano come \"\u00c3\u20ac\"; scrivere "
            "\"A'\""}},
      {"una pendenza il cui + 100 trabocca",
       {{L, "pendenza,  500,   3", "pendenza,  500,   2147483600"}},
       {L + ":174:19: errore 25: errore di lettura o di esecuzione nel file sorgente"},
       false},
      {"una pendenza fuori dall'intervallo",
       {{L, "pendenza,  500,   3", "pendenza,  500,   200"}},
       {L + ":174:19: avviso: pendenza (per mille) 200 fuori da -100..155: memorizzato come "
            "-56"}},
      {"posizioni che non crescono",
       {{T, "velocita,   31750", "velocita,   21750"}},
       {T + ":17:13: avviso: limite di velocita' alla posizione 21750 m non dopo la precedente "
            "(24600 m)"}},
      {"una riga dopo [fine]",
       {{T, "[fine]", "[fine]\r\nsabbia, 3"}},
       {T + ":71:1: avviso: riga dopo [fine]: il file dovrebbe finire con [fine]"}},
  };
}

std::string applica(std::string testo, const std::vector<modifica>& m, const std::string& file) {
  for (const modifica& x : m) {
    if (x.file != file) continue;
    const size_t i = testo.find(x.da);
    EXPECT_NE(i, std::string::npos) << x.da;
    if (i == std::string::npos) continue;
    if (x.a.empty()) {
      testo.resize(i);
    } else {
      testo.replace(i, x.da.size(), x.a);
    }
  }
  return testo;
}

// The message lines of a report: those that name a place.
std::vector<std::string> messaggi(const std::string& rapporto) {
  std::vector<std::string> v;
  std::istringstream in(rapporto);
  std::string riga;
  while (std::getline(in, riga)) {
    if (riga.rfind(L + ":", 0) == 0 || riga.rfind(T + ":", 0) == 0) v.push_back(riga);
  }
  return v;
}

TEST(ErroriAutore, OgniSbaglioHaLaSuaDiagnosi) {
  disco_memoria predefinito;
  prova::metti_sorgenti_predefinite(predefinito);
  for (const caso_autore& c : casi()) {
    SCOPED_TRACE(c.nome);
    disco_memoria sorgenti;
    for (const auto& [nome, testo] : predefinito.file) {
      sorgenti.file[nome] = applica(testo, c.modifiche, nome);
    }
    disco_memoria uscita;
    std::ostringstream err;
    const esito_strumento e =
        compila_sorgenti(sorgenti, uscita, nomi.nome_linea, nomi.nome_treno, "", err);
    EXPECT_EQ(messaggi(err.str()), c.diagnosi) << err.str();
    EXPECT_EQ(e, c.scrive ? esito_strumento::fatto : esito_strumento::errore_compilazione);
    if (!c.scrive) continue;

    // Warnings change no byte: the default run's compile step gives the same files.
    disco_memoria diretto = sorgenti;
    stato s{};
    s.nome_linea = nomi.nome_linea;
    s.nome_treno = nomi.nome_treno;
    memorizza_percorso(s, diretto, 1);
    for (const std::string& f :
         {nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()}) {
      EXPECT_EQ(uscita.file[f], diretto.file[f]) << f;
    }
    // Taken as errors, the same warnings write nothing.
    disco_memoria nulla;
    std::ostringstream err_errori;
    EXPECT_EQ(compila_sorgenti(sorgenti, nulla, nomi.nome_linea, nomi.nome_treno, "", err_errori,
                               trattamento_avvisi::errori),
              c.diagnosi.empty() ? esito_strumento::fatto : esito_strumento::errore_compilazione);
    if (!c.diagnosi.empty()) {
      EXPECT_TRUE(nulla.file.empty());
    }
    // Silenced, they print nothing.
    std::ostringstream err_muto;
    compila_sorgenti(sorgenti, nulla, nomi.nome_linea, nomi.nome_treno, "", err_muto,
                     trattamento_avvisi::silenzia);
    EXPECT_EQ(err_muto.str(), "");
  }
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// A 10 MB line is quoted in a window around the column, never whole.
TEST(ErroriAutore, UnaRigaLunghissimaECitataInUnaFinestra) {
  disco_memoria sorgenti;
  prova::metti_sorgenti_predefinite(sorgenti);
  std::string& treno = sorgenti.file[T];
  const std::string lunga = std::string(10'000'000, 'x') + ", segnael, 5\r\n";
  treno.insert(treno.find("sabbia"), lunga);
  disco_memoria uscita;
  std::ostringstream err;
  EXPECT_EQ(compila_sorgenti(sorgenti, uscita, nomi.nome_linea, nomi.nome_treno, "", err),
            esito_strumento::fatto);
  std::istringstream in(err.str());
  std::string riga;
  std::vector<std::string> righe;
  while (std::getline(in, riga)) {
    EXPECT_LE(riga.size(), 400u);
    righe.push_back(riga);
  }
  // The unknown keyword, cut in the message; its line cut around the column.
  ASSERT_GE(righe.size(), 3u);
  EXPECT_EQ(righe[0], T + ":4:1: avviso: parola chiave sconosciuta \"" + std::string(40, 'x') +
                          "...\": riga ignorata");
  EXPECT_EQ(righe[1], std::string(160, 'x') + "...");
  EXPECT_EQ(righe[2], "^");
}

}  // namespace
}  // namespace scenario
