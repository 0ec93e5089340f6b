// The authors' tools as a user runs them: the real program started with
// arguments in a directory of the test's own. export then compile gives the
// default run's compiled files; a wrong row is reported at its file, line and
// column and leaves earlier compiled files whole; inspect dumps every byte of
// a compiled file and refuses broken ones; draw writes SVG that a real
// renderer turns into pictures.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "compiler/uscita.h"
#include "strumenti/predefinito_prova.h"
#include "strumenti/processo_prova.h"
#include "strumenti/xml_prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::leggi;
using prova::scrivi;

const nomi_file nomi = prova::nomi_predefiniti();

std::vector<std::string> compilati() {
  return {nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()};
}

class banco_programma {
 public:
  banco_programma() {
    fs::create_directories(lavoro());
    fs::create_directories(programma());
    fs::copy_file(SCENARIO_PROGRAMMA, programma() / "compila_scenario");
  }

  // The tool, run in the working directory.
  prova::esito_processo strumento(const std::vector<std::string>& argomenti) const {
    return prova::avvia(SCENARIO_PROGRAMMA, argomenti, lavoro(), c_.percorso());
  }
  // The default run, from the copy in its own directory.
  prova::esito_processo predefinito() const {
    return prova::avvia(programma() / "compila_scenario", {}, lavoro(), c_.percorso());
  }

  fs::path lavoro() const { return c_ / "lavoro"; }
  fs::path programma() const { return c_ / "programma"; }
  fs::path operator/(const std::string& nome) const { return lavoro() / nome; }

  std::map<std::string, std::string> contenuti(const fs::path& cartella,
                                               const std::vector<std::string>& nomi) const {
    std::map<std::string, std::string> m;
    for (const std::string& n : nomi) {
      if (fs::is_regular_file(cartella / n)) m[n] = leggi(cartella / n);
    }
    return m;
  }

 private:
  prova::cartella_prova c_;
};

std::string sostituisci(std::string testo, const std::string& vecchio, const std::string& nuovo) {
  const size_t i = testo.find(vecchio);
  EXPECT_NE(i, std::string::npos) << vecchio;
  if (i != std::string::npos) testo.replace(i, vecchio.size(), nuovo);
  return testo;
}

TEST(ProgrammaStrumenti, EsportaPoiCompilaDannoIFileDellaRunPredefinita) {
  banco_programma b;
  ASSERT_EQ(b.predefinito().stato, 0);
  const auto attesi = b.contenuti(b.programma(), compilati());
  ASSERT_EQ(attesi.size(), 3u);

  const prova::esito_processo esporta = b.strumento({"export", "sorgenti"});
  EXPECT_EQ(esporta.stato, 0) << esporta.errori;
  EXPECT_EQ(esporta.uscita + esporta.errori, "");
  const auto sorgenti = b.contenuti(b / "sorgenti", {nomi.sorgente_linea(), nomi.sorgente_treno()});
  ASSERT_EQ(sorgenti.size(), 2u);

  const prova::esito_processo compila =
      b.strumento({"compile", nomi.nome_linea, nomi.nome_treno, "-C", "sorgenti"});
  EXPECT_EQ(compila.stato, 0) << compila.errori;
  EXPECT_EQ(compila.uscita + compila.errori, "");
  EXPECT_EQ(b.contenuti(b / "sorgenti", compilati()), attesi);
  EXPECT_EQ(b.contenuti(b / "sorgenti", {nomi.sorgente_linea(), nomi.sorgente_treno()}), sorgenti)
      << "the sources stay";

  // The compiled files can go elsewhere, into a directory made for them.
  const prova::esito_processo altrove =
      b.strumento({"compile", "--dir=sorgenti", "--output-dir", "nuova/cartella", nomi.nome_linea,
                   nomi.nome_treno});
  EXPECT_EQ(altrove.stato, 0) << altrove.errori;
  EXPECT_EQ(b.contenuti(b / "nuova/cartella", compilati()), attesi);
}

TEST(ProgrammaStrumenti, EsportaNonSostituisceSenzaForce) {
  banco_programma b;
  ASSERT_EQ(b.strumento({"export", "s"}).stato, 0);
  scrivi(b / "s" / nomi.sorgente_treno(), "il mio lavoro");
  const prova::esito_processo di_nuovo = b.strumento({"export", "s"});
  EXPECT_EQ(di_nuovo.stato, 73);
  EXPECT_EQ(di_nuovo.errori, "compila_scenario: s/" + nomi.sorgente_linea() +
                                 " esiste gia' (--force per sostituirlo)\n" +
                                 "compila_scenario: s/" + nomi.sorgente_treno() +
                                 " esiste gia' (--force per sostituirlo)\n");
  EXPECT_EQ(leggi(b / "s" / nomi.sorgente_treno()), "il mio lavoro");
  EXPECT_EQ(b.strumento({"export", "--force", "s"}).stato, 0);
  EXPECT_EQ(leggi(b / "s" / nomi.sorgente_treno()), componi_testo(righe_treno()));
}

// Two files a command would write under one name (ASCII case ignored, as on
// Windows and on any folder copied there): refused as a usage error before
// anything is read or written.
TEST(ProgrammaStrumenti, DueUsciteConLoStessoNomeSiRifiutano) {
  banco_programma b;
  ASSERT_EQ(b.strumento({"export", "s"}).stato, 0);
  const struct {
    std::vector<std::string> riga;
    std::string messaggio;
  } casi[] = {
      {{"compile", "Brossalenta_Morla", "linea", "-C", "s"},
       "due file da scrivere avrebbero lo stesso nome, Brossalenta_Morla_linea.dat: scegliere "
       "altri identificatori"},
      {{"compile", "Brossalenta_Morla", "LINEA", "-C", "s"},
       "due file da scrivere, Brossalenta_Morla_linea.dat e Brossalenta_Morla_LINEA.dat, "
       "sarebbero lo stesso file dove le maiuscole non contano: scegliere altri identificatori"},
      {{"compile", "x", "Linea", "-C", "s", "--output-dir", "o"},
       "due file da scrivere, x_linea.dat e x_Linea.dat, sarebbero lo stesso file dove le "
       "maiuscole non contano: scegliere altri identificatori"},
      {{"draw", "Brossalenta_Morla", "linea", "-C", "s", "-o", "o"},
       ""},  // the two drawings never share a name: this one fails on the missing files
  };
  for (const auto& caso : casi) {
    SCOPED_TRACE(caso.riga[1] + " " + caso.riga[2]);
    const prova::esito_processo r = b.strumento(caso.riga);
    if (caso.messaggio.empty()) {
      EXPECT_NE(r.stato, 64) << r.errori;
      continue;
    }
    EXPECT_EQ(r.stato, 64);
    EXPECT_EQ(r.errori, "compila_scenario: " + caso.messaggio +
                            "\nProvare 'compila_scenario --help' per maggiori informazioni.\n");
    EXPECT_FALSE(fs::exists(b / "s" / "Brossalenta_Morla_linea.dat"));
    EXPECT_FALSE(fs::exists(b / "o"));
  }
}

// export and links: a link to nothing at a source name is a name taken (kept
// without --force, replaced by a plain file with it); a folder that is a link
// to nothing is named as such; export into the program's own folder warns
// that the next run without arguments overwrites and deletes those sources.
TEST(ProgrammaStrumenti, EsportaEICollegamenti) {
  banco_programma b;
  fs::create_directories(b / "s");
  fs::create_symlink("non_c_e", b / "s" / nomi.sorgente_linea());
  const prova::esito_processo senza = b.strumento({"export", "s"});
  EXPECT_EQ(senza.stato, 73);
  EXPECT_EQ(senza.errori, "compila_scenario: s/" + nomi.sorgente_linea() +
                              " esiste gia' (--force per sostituirlo)\n");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(b / "s" / nomi.sorgente_linea())));
  EXPECT_FALSE(fs::exists(b / "s" / nomi.sorgente_treno()));
  EXPECT_FALSE(fs::exists(b / "non_c_e"));
  const prova::esito_processo con = b.strumento({"export", "--force", "s"});
  EXPECT_EQ(con.stato, 0) << con.errori;
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(b / "s" / nomi.sorgente_linea())));
  EXPECT_FALSE(fs::exists(b / "s" / "non_c_e"));

  fs::create_symlink("manca", b / "vuoto");
  const prova::esito_processo cartella = b.strumento({"export", "vuoto"});
  EXPECT_EQ(cartella.stato, 2);
  EXPECT_EQ(cartella.errori,
            "compila_scenario: vuoto: collegamento simbolico a una cartella inesistente (manca)\n");

  const prova::esito_processo qui =
      prova::avvia(b.programma() / "compila_scenario", {"export", b.programma().string()},
                   b.lavoro(), b.lavoro());
  EXPECT_EQ(qui.stato, 0) << qui.errori;
  EXPECT_EQ(qui.errori, "compila_scenario: avviso: " + b.programma().string() +
                            " e' la cartella del programma: la prossima esecuzione senza "
                            "argomenti\nsovrascrive questi sorgenti con quelli predefiniti e poi "
                            "li elimina\n");
  EXPECT_TRUE(fs::is_regular_file(b.programma() / nomi.sorgente_linea()));
}

// export --force replaces the two sources as one set: when the train-run
// source cannot be replaced, the author's line source is not replaced either.
TEST(ProgrammaStrumenti, EsportaForceSostituisceIDueSorgentiInsieme) {
  banco_programma b;
  fs::create_directories(b / "s");
  scrivi(b / "s" / nomi.sorgente_linea(), "la mia linea");
  fs::create_directory(b / "s" / nomi.sorgente_treno());
  scrivi(b / "s" / nomi.sorgente_treno() / "dentro", "x");
  const prova::esito_processo r = b.strumento({"export", "--force", "s"});
  EXPECT_EQ(r.stato, 2);
  EXPECT_EQ(r.errori,
            "compila_scenario: s/" + nomi.sorgente_treno() + ": non e' un file regolare\n");
  EXPECT_EQ(leggi(b / "s" / nomi.sorgente_linea()), "la mia linea");
}

TEST(ProgrammaStrumenti, UnaRigaSbagliataDiceDoveENonToccaICompilati) {
  banco_programma b;
  ASSERT_EQ(b.strumento({"export", "s"}).stato, 0);
  ASSERT_EQ(b.strumento({"compile", nomi.nome_linea, nomi.nome_treno, "-Cs"}).stato, 0);
  const auto prima = b.contenuti(b / "s", compilati());
  // The second signal moved onto the first one's cell.
  const fs::path treno = b / "s" / nomi.sorgente_treno();
  const std::string sbagliato = sostituisci(leggi(treno), "segnale,   11450,", "segnale,   10700,");
  scrivi(treno, sbagliato);

  const prova::esito_processo r =
      b.strumento({"compile", nomi.nome_linea, nomi.nome_treno, "-C", "s"});

  EXPECT_EQ(r.stato, 3);
  EXPECT_EQ(r.uscita, "");
  EXPECT_EQ(r.errori, "s/" + nomi.sorgente_treno() +
                          ":47:1: errore 16: segnale su una cella occupata\n"
                          "segnale,   10700,   2, 3, 1,  0, 0,    0,  0,0,0, 240\n"
                          "^\n"
                          "compila_scenario: nessun file compilato scritto\n");
  EXPECT_EQ(b.contenuti(b / "s", compilati()), prima) << "earlier compiled files stay whole";
  EXPECT_EQ(leggi(treno), sbagliato) << "the source stays";
  for (const auto& v : fs::directory_iterator(b / "s"))
    EXPECT_NE(v.path().extension(), ".nuovo") << v.path();
}

TEST(ProgrammaStrumenti, SorgentiOCartelleMancanti) {
  banco_programma b;
  fs::create_directories(b / "vuota");
  // A missing or empty source is named with its reason: a disk failure.
  const prova::esito_processo senza = b.strumento({"compile", "L", "T", "-C", "vuota"});
  EXPECT_EQ(senza.stato, 2);
  EXPECT_EQ(senza.errori, "compila_scenario: vuota/L_linea.txt: No such file or directory\n");
  std::ofstream(b / "vuota" / "L_linea.txt") << "[generale]\r\nlunghezza percorso, 10000\r\n";
  const prova::esito_processo senza_treno = b.strumento({"compile", "L", "T", "-C", "vuota"});
  EXPECT_EQ(senza_treno.stato, 2);
  EXPECT_EQ(senza_treno.errori, "compila_scenario: vuota/L_T-.txt: No such file or directory\n");
  std::ofstream(b / "vuota" / "L_T-.txt").flush();
  const prova::esito_processo vuoto = b.strumento({"compile", "L", "T", "-C", "vuota"});
  EXPECT_EQ(vuoto.stato, 2);
  EXPECT_EQ(vuoto.errori, "compila_scenario: vuota/L_T-.txt: file vuoto\n");
  fs::remove(b / "vuota" / "L_linea.txt");
  fs::remove(b / "vuota" / "L_T-.txt");
  const prova::esito_processo nessuna = b.strumento({"compile", "L", "T", "-C", "non_esiste"});
  EXPECT_EQ(nessuna.stato, 2);
  EXPECT_EQ(nessuna.errori, "compila_scenario: non_esiste: cartella inesistente\n");
  const prova::esito_processo disegno = b.strumento({"draw", "L", "T", "-C", "vuota"});
  EXPECT_EQ(disegno.stato, 2);
  EXPECT_EQ(disegno.errori, "compila_scenario: vuota/L_linea.dat: No such file or directory\n");

  // A pipe where a file should be is refused, never read (it could be endless).
  ASSERT_EQ(mkfifo((b / "vuota" / "L_T.sim").c_str(), 0600), 0);
  for (const std::vector<std::string>& riga :
       {std::vector<std::string>{"draw", "L", "T", "-C", "vuota"},
        {"compile", "L", "T", "-C", "vuota"},
        {"inspect", "vuota/L_T.sim"}}) {
    const prova::esito_processo r = b.strumento(riga);
    EXPECT_EQ(r.stato, 2) << riga.front();
    EXPECT_EQ(r.errori, "compila_scenario: vuota/L_T.sim: non e' un file regolare\n")
        << riga.front();
  }
}

// Every stored field of every cell is in the JSON of --all: the bytes come
// back from it.
std::string griglia_dal_json(const std::string& json) {
  std::vector<cella> celle;
  std::istringstream righe(json);
  for (std::string riga; std::getline(righe, riga);) {
    if (riga.rfind("{\"indice\":", 0) != 0) continue;
    const auto campo = [&riga](const char* nome) {
      const std::string chiave = "\"" + std::string(nome) + "\":";
      const size_t i = riga.find(chiave);
      return i == std::string::npos ? -99999L : std::stol(riga.substr(i + chiave.size()));
    };
    cella c;
    c.tipo_cella = static_cast<uint8_t>(campo("tipo_cella"));
    c.valore1 = static_cast<int16_t>(campo("valore1"));
    c.valore2 = static_cast<int16_t>(campo("valore2"));
    c.valore3 = static_cast<int16_t>(campo("valore3"));
    c.valore4 = static_cast<int16_t>(campo("valore4"));
    c.tempo_segnale = static_cast<uint8_t>(campo("tempo_segnale"));
    c.avvicinamento = static_cast<uint8_t>(campo("avvicinamento"));
    c.tipo_montagna = static_cast<uint8_t>(campo("tipo_montagna"));
    c.vel_limite = static_cast<uint8_t>(campo("vel_limite"));
    c.pendenza = static_cast<uint8_t>(campo("pendenza"));
    c.aderenza = static_cast<uint8_t>(campo("aderenza"));
    celle.push_back(c);
  }
  return immagine_griglia(celle);
}

TEST(ProgrammaStrumenti, IspezionaTuttoORifiutaConLOffset) {
  banco_programma b;
  ASSERT_EQ(b.strumento({"export", "s"}).stato, 0);
  ASSERT_EQ(b.strumento({"compile", nomi.nome_linea, nomi.nome_treno, "-C", "s"}).stato, 0);
  const std::string griglia = "s/" + nomi.griglia_compilata();

  const prova::esito_processo tutto = b.strumento({"inspect", "--json", "--all", griglia});
  EXPECT_EQ(tutto.stato, 0) << tutto.errori;
  EXPECT_EQ(griglia_dal_json(tutto.uscita), leggi(b / griglia));

  // What is at km 10.7: the signal of the built-in route there, and nothing else.
  const prova::esito_processo testo =
      b.strumento({"inspect", griglia, "--from", "10.7", "--to=10,7"});
  EXPECT_EQ(testo.stato, 0) << testo.errori;
  EXPECT_EQ(testo.uscita,
            "griglia " + griglia +
                ": 2061 celle\n"
                "cella 215 a 10700 m (km 10.700): segnale s1d1 30, s2d2 10, s3d3 0, "
                "rapp*10+sx*3+dx 3, tempo 0; limite 80 km/h, pendenza 21 per mille, aderenza 90, "
                "montagna 1\n");

  const prova::esito_processo json =
      b.strumento({"inspect", "--json", "s/" + nomi.treno_compilato()});
  EXPECT_EQ(json.stato, 0);
  EXPECT_EQ(
      json.uscita.rfind(
          "{\"file\":\"s/" + nomi.treno_compilato() + "\",\"tipo\":\"tabella\",\"righe\":[", 0),
      0u);

  scrivi(b / "tronca.dat", leggi(b / griglia).substr(0, 30001));
  scrivi(b / "spazzatura.sim", std::string(5000, '\xFF'));
  scrivi(b / "spazzatura.bin", std::string(7, '\x07'));
  fs::create_directories(b / "cartella.dat");
  const struct {
    std::vector<std::string> riga;
    int stato;
    std::string errori;
  } casi[] = {
      {{"inspect", "tronca.dat"},
       65,
       "compila_scenario: tronca.dat: file non valido (griglia) all'offset 30000: cella 2000 "
       "troncata: 1 byte su 15\n"},
      {{"inspect", "spazzatura.sim"},
       65,
       "compila_scenario: spazzatura.sim: file non valido (tabella) all'offset 0: riga 0 troncata: "
       "5000 byte dove "
       "ne servono 34 + 65535 (nome di 65535 byte)\n"},
      {{"inspect", "--kind=plan", "spazzatura.bin"},
       65,
       "compila_scenario: spazzatura.bin: file non valido (piano) all'offset 0: tipo di valore "
       "sconosciuto 1799 "
       "(ammessi 0, 2 e 5)\n"},
      {{"inspect", "spazzatura.bin"},
       64,
       "compila_scenario: tipo di file sconosciuto per spazzatura.bin: usare "
       "--kind=plan|table|grid\n"
       "Provare 'compila_scenario --help' per maggiori informazioni.\n"},
      {{"inspect", "manca.dat"}, 2, "compila_scenario: manca.dat: No such file or directory\n"},
      {{"inspect", "cartella.dat"}, 2, "compila_scenario: cartella.dat: non e' un file regolare\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.riga.back());
    const prova::esito_processo r = b.strumento(c.riga);
    EXPECT_EQ(r.stato, c.stato);
    EXPECT_EQ(r.errori, c.errori);
    EXPECT_EQ(r.uscita, "");
  }
}

TEST(ProgrammaStrumenti, DisegnaSvgBenFormatiCheUnRenderizzatoreDisegna) {
  banco_programma b;
  ASSERT_EQ(b.strumento({"export", "s"}).stato, 0);
  ASSERT_EQ(b.strumento({"compile", nomi.nome_linea, nomi.nome_treno, "-C", "s"}).stato, 0);
  const prova::esito_processo r =
      b.strumento({"draw", nomi.nome_linea, nomi.nome_treno, "-C", "s", "-o", "disegni"});
  ASSERT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.uscita + r.errori, "");
  const std::vector<std::string> svg = {nomi.pianta(), nomi.profilo()};
  for (const std::string& nome : svg)
    EXPECT_EQ(prova::errore_xml(leggi(b / "disegni" / nome)), "") << nome;

  const fs::path rsvg = prova::sul_percorso("rsvg-convert");
  if (rsvg.empty()) GTEST_SKIP() << "rsvg-convert is not installed (Debian: librsvg2-bin)";
  for (const std::string& nome : svg) {
    SCOPED_TRACE(nome);
    const fs::path png = b / "disegni" / (nome + ".png");
    const prova::esito_processo c =
        prova::avvia(rsvg, {nome, "-o", png.string()}, b / "disegni", b / "disegni");
    EXPECT_EQ(c.stato, 0) << c.errori;
    ASSERT_TRUE(fs::exists(png));
    EXPECT_EQ(leggi(png).substr(1, 3), "PNG");
    EXPECT_GT(fs::file_size(png), 10000u) << "a picture, not an empty canvas";
  }
}

// A plan of 20 bytes with x = 1e17 once made draw loop for ever on its axis
// ticks: now it is refused at once as malformed, and nothing is drawn.
TEST(ProgrammaStrumenti, DisegnaRifiutaCoordinateAssurde) {
  banco_programma b;
  ASSERT_EQ(b.strumento({"export", "s"}).stato, 0);
  ASSERT_EQ(b.strumento({"compile", nomi.nome_linea, nomi.nome_treno, "-C", "s"}).stato, 0);
  tracciato p;
  p.crea(1);
  p.imposta_doppio(0, 0, 1e17);
  p.imposta_intero(1, 0, 0);
  p.imposta_intero(0, 1, 0);
  const std::string piano = immagine_linea(p);
  ASSERT_EQ(piano.size(), 20u);
  std::ofstream(b / "s" / nomi.linea_compilata(), std::ios::binary) << piano;
  const prova::esito_processo r =
      b.strumento({"draw", nomi.nome_linea, nomi.nome_treno, "-C", "s", "-o", "disegni"});
  EXPECT_EQ(r.stato, 65);
  EXPECT_EQ(r.errori, "compila_scenario: s/" + nomi.linea_compilata() +
                          ": file non valido (piano) all'offset 0: coordinata x del punto 0 "
                          "(metro 0) assurda: 1e+17 m (ammesse fino a 10000000 m dall'origine)\n");
  EXPECT_FALSE(fs::exists(b / "disegni" / nomi.pianta()));
}

TEST(ProgrammaStrumenti, AiutoVersioneERigheSbagliate) {
  banco_programma b;
  const prova::esito_processo versione = b.strumento({"--version"});
  EXPECT_EQ(versione.stato, 0);
  EXPECT_EQ(versione.uscita, "compila_scenario " SCENARIO_VERSIONE "\n");
  const prova::esito_processo aiuto = b.strumento({"compile", "--help"});
  EXPECT_EQ(aiuto.stato, 0);
  EXPECT_EQ(aiuto.uscita.rfind("Uso: compila_scenario\n", 0), 0u);
  const prova::esito_processo sbagliata = b.strumento({"--xyz"});
  EXPECT_EQ(sbagliata.stato, 64);
  EXPECT_EQ(sbagliata.uscita, "");
  EXPECT_EQ(sbagliata.errori,
            "compila_scenario: opzione sconosciuta: --xyz\n"
            "Provare 'compila_scenario --help' per maggiori informazioni.\n");
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
