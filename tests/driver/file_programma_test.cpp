#include "driver/file_programma.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cartella_prova.h"
#include "temporanei_prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::cartella_prova;
using prova::errno_cartella;
using prova::leggi;
using prova::scrivi;
using prova::temporanei_in;

const std::string nome = "Brossalenta_Morla_iR31457.sim";

// The running test program, as the system names it.
fs::path questo_eseguibile() {
#ifdef _WIN32
  std::wstring nome(32768, L'\0');
  nome.resize(GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size())));
  return nome;
#else
  return "/proc/self/exe";
#endif
}

// Whether a directory without write permission refuses new files: not for
// root, and not on Windows, where the read-only attribute of a directory
// does not stop files being created in it.
bool sola_lettura_rifiuta() {
#ifdef _WIN32
  return false;
#else
  return geteuid() != 0;
#endif
}

TEST(CartellaProgramma, EIlPercorsoDiQuestoEseguibile) {
  fs::path cartella;
  ASSERT_TRUE(cartella_programma(cartella).ok);
  EXPECT_TRUE(cartella.is_absolute());
  bool trovato = false;
  for (const auto& voce : fs::directory_iterator(cartella))
    if (voce.is_regular_file() && fs::equivalent(voce.path(), questo_eseguibile())) trovato = true;
  EXPECT_TRUE(trovato) << cartella << " does not hold the running program";
}

TEST(DiscoReale, INomiSonoRelativiAllaCartella) {
  cartella_prova c;
  disco_reale d(c.percorso());
  ASSERT_TRUE(d.sostituisci("a.txt", "x").ok);
  EXPECT_EQ(leggi(c / "a.txt"), "x");
  EXPECT_EQ(d.percorso("a.txt"), c / "a.txt");
}

struct caso_sostituzione {
  const char* descrizione;
  bool esiste_prima;
  std::string prima;
  bool vecchio_temporaneo;  // a file at NAME.nuovo, the fixed name older versions wrote to
  std::string nuovo;
};

TEST(DiscoReale, SostituisciLasciaEsattamenteIByteNuovi) {
  const caso_sostituzione casi[] = {
      {"file mancante creato", false, "", false, "riga 1\r\nriga 2\r\n"},
      {"file piu' lungo accorciato", true, std::string(10000, 'v'), false, "corto\r\n"},
      {"file piu' corto allungato", true, "a", false, std::string(200000, 'n')},
      {"contenuto vuoto", true, "vecchio", false, ""},
      {"byte binari e zeri", true, "vecchio", false, std::string("\0\1\xff\r\n\0", 6)},
      {"file al vecchio nome fisso del temporaneo", true, "vecchio", true, "nuovo"},
  };
  for (const auto& caso : casi) {
    SCOPED_TRACE(caso.descrizione);
    cartella_prova c;
    if (caso.esiste_prima) scrivi(c / nome, caso.prima);
    if (caso.vecchio_temporaneo) scrivi(c / (nome + ".nuovo"), std::string(5000, 't'));
    disco_reale d(c.percorso());

    esito_io e = d.sostituisci(nome, caso.nuovo);

    ASSERT_TRUE(e.ok) << e.file << ": " << e.motivo;
    EXPECT_EQ(leggi(c / nome), caso.nuovo);
    EXPECT_TRUE(temporanei_in(c.percorso()).empty());
    // Not one of ours: it stays as it was.
    if (caso.vecchio_temporaneo) {
      EXPECT_EQ(leggi(c / (nome + ".nuovo")), std::string(5000, 't'));
    }
  }
}

// How each failure is arranged in a directory holding an older target.
enum class ostacolo { cartella_mancante, destinazione_cartella, disco_pieno, sola_lettura };

struct caso_guasto {
  const char* descrizione;
  ostacolo tipo;
  std::string motivo;
  bool nomina_temporaneo;  // the failure names a temporary of the target, else the target
};

TEST(DiscoReale, UnaSostituzioneFallitaNominaIlFileELasciaIlVecchio) {
  const caso_guasto casi[] = {
      {"cartella inesistente", ostacolo::cartella_mancante, std::strerror(ENOENT), true},
      {"una cartella al posto del file", ostacolo::destinazione_cartella, "non e' un file regolare",
       false},
      {"disco pieno", ostacolo::disco_pieno, std::strerror(ENOSPC), true},
      {"cartella in sola lettura", ostacolo::sola_lettura, std::strerror(EACCES), true},
  };
  for (const auto& caso : casi) {
    SCOPED_TRACE(caso.descrizione);
    if (caso.tipo == ostacolo::sola_lettura && !sola_lettura_rifiuta()) continue;
    if (caso.tipo == ostacolo::disco_pieno && !fs::exists("/dev/full")) continue;
    cartella_prova c;
    const std::string vecchio = "il contenuto di prima\r\n";
    scrivi(c / nome, vecchio);
    std::string bersaglio = nome;
    prova::guasti_temporanei g;
    switch (caso.tipo) {
      case ostacolo::cartella_mancante:
        bersaglio = "manca/" + nome;
        break;
      case ostacolo::destinazione_cartella:
        fs::remove(c / nome);
        fs::create_directory(c / nome);
        scrivi(c / nome / "dentro", "resta");
        break;
      case ostacolo::disco_pieno:
        g.pieni.push_back(c / nome);
        break;
      case ostacolo::sola_lettura:
        fs::permissions(c.percorso(), fs::perms::owner_read | fs::perms::owner_exec);
        break;
    }
    disco_reale d(c.percorso(), &g);

    esito_io e = d.sostituisci(bersaglio, "nuovo");
    fs::permissions(c.percorso(), fs::perms::owner_all);

    EXPECT_FALSE(e.ok);
    if (caso.nomina_temporaneo) {
      EXPECT_TRUE(temporaneo_di(e.file, c / bersaglio)) << e.file;
    } else {
      EXPECT_EQ(e.file, (c / bersaglio).string());
    }
    EXPECT_EQ(e.motivo, caso.motivo);
    if (caso.tipo == ostacolo::destinazione_cartella) {
      EXPECT_EQ(leggi(c / nome / "dentro"), "resta");
    } else {
      EXPECT_EQ(leggi(c / nome), vecchio);
    }
    EXPECT_TRUE(temporanei_in(c.percorso()).empty());
  }
}

// Files replaced together: all written before any is put in place, so a
// failure on a later one leaves every earlier target as it was.
TEST(DiscoReale, SostituisciInsiemeScriveTuttoPrimaDiSostituire) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  cartella_prova c;
  scrivi(c / "a.dat", "vecchio a");
  scrivi(c / "b.dat", "vecchio b");
  prova::guasti_temporanei g;
  g.pieni.push_back(c / "c.dat");  // the third temporary cannot be written
  auto testo = [](std::string t) {
    return [t](const scrivi_pezzo& scrivi_pezzo) { return scrivi_pezzo(t); };
  };
  {
    disco_reale d(c.percorso(), &g);
    esito_io e = d.sostituisci_insieme(
        {{"a.dat", testo("nuovo a")}, {"b.dat", testo("nuovo b")}, {"c.dat", testo("nuovo c")}});
    EXPECT_FALSE(e.ok);
    EXPECT_TRUE(temporaneo_di(e.file, c / "c.dat")) << e.file;
    EXPECT_EQ(leggi(c / "a.dat"), "vecchio a");
    EXPECT_EQ(leggi(c / "b.dat"), "vecchio b");
    EXPECT_FALSE(fs::exists(c / "c.dat"));
    EXPECT_TRUE(temporanei_in(c.percorso()).empty());
  }
  disco_reale d(c.percorso());
  esito_io e = d.sostituisci_insieme(
      {{"a.dat", testo("nuovo a")}, {"b.dat", testo("nuovo b")}, {"c.dat", testo("nuovo c")}});
  EXPECT_TRUE(e.ok) << e.file << ": " << e.motivo;
  EXPECT_EQ(leggi(c / "a.dat"), "nuovo a");
  EXPECT_EQ(leggi(c / "b.dat"), "nuovo b");
  EXPECT_EQ(leggi(c / "c.dat"), "nuovo c");
  EXPECT_TRUE(temporanei_in(c.percorso()).empty());
}

// A rename that fails halfway through a set: the targets already replaced get
// their earlier files back, so the set is the old one whole; when even that
// fails, the message says which files are new and where the old ones are.
TEST(DiscoReale, UnInsiemeSiSostituisceTuttoONiente) {
  auto testo = [](std::string t) {
    return [t](const scrivi_pezzo& scrivi_pezzo) { return scrivi_pezzo(t); };
  };
  auto sbarra = [](const fs::path& p) {  // a non-empty directory in the way
    fs::remove(p);
    fs::create_directory(p);
    scrivi(p / "dentro", "x");
  };
  for (const bool anche_il_ripristino : {false, true}) {
    SCOPED_TRACE(anche_il_ripristino ? "the rollback fails too" : "rolled back");
    cartella_prova c;
    scrivi(c / "a.dat", "vecchio a");
    scrivi(c / "c.dat", "vecchio c");
    prova::guasti_temporanei g;
    g.prima = [&](const fs::path& destinazione) {
      if (destinazione != c / "c.dat") return;
      sbarra(c / "c.dat");
      if (anche_il_ripristino) sbarra(c / "a.dat");
    };
    disco_reale d(c.percorso(), &g);
    const esito_io e = d.sostituisci_insieme(
        {{"a.dat", testo("nuovo a")}, {"b.dat", testo("nuovo b")}, {"c.dat", testo("nuovo c")}});
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.file, (c / "c.dat").string());
    EXPECT_FALSE(fs::exists(c / "b.dat")) << "a file new to the folder is taken out again";
    EXPECT_TRUE(fs::is_directory(c / "c.dat"));
    const std::vector<fs::path> rimasti = temporanei_in(c.percorso());
    if (!anche_il_ripristino) {
      EXPECT_EQ(leggi(c / "a.dat"), "vecchio a");
      EXPECT_TRUE(rimasti.empty());
      EXPECT_EQ(e.motivo.find("rimettere"), std::string::npos) << e.motivo;
    } else {
      ASSERT_EQ(rimasti.size(), 1u);
      EXPECT_TRUE(temporaneo_di(rimasti[0], c / "a.dat"));
      EXPECT_EQ(leggi(rimasti[0]), "vecchio a") << "the earlier file is kept where it is named";
      EXPECT_NE(e.motivo.find("i precedenti sono tenuti in " + rimasti[0].string()),
                std::string::npos)
          << e.motivo;
    }
  }
}

// A producer's pieces land in order, and a full disk stops it with ENOSPC.
TEST(DiscoReale, SostituisciAPezzi) {
  cartella_prova c;
  disco_reale d(c.percorso());
  const auto pezzi = [](const scrivi_pezzo& s) {
    for (int i = 0; i < 3; ++i) {
      if (!s(std::string(70000, static_cast<char>('a' + i)))) return false;
    }
    return true;
  };
  ASSERT_TRUE(d.sostituisci_a_pezzi("p.dat", pezzi).ok);
  EXPECT_EQ(leggi(c / "p.dat"),
            std::string(70000, 'a') + std::string(70000, 'b') + std::string(70000, 'c'));
  if (fs::exists("/dev/full")) {
    prova::guasti_temporanei g;
    g.pieni.push_back(c / "q.dat");
    disco_reale pieno(c.percorso(), &g);
    esito_io e = pieno.sostituisci_a_pezzi("q.dat", pezzi);
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.motivo, std::strerror(ENOSPC));
    EXPECT_FALSE(fs::exists(c / "q.dat"));
  }
}

TEST(DiscoReale, LeggiRestituisceIlFileIntero) {
  cartella_prova c;
  const std::string contenuto = std::string("a\0b\r\n", 5) + std::string(100000, 'z');
  scrivi(c / "f.bin", contenuto);
  disco_reale d(c.percorso());
  std::string letto = "da sostituire";
  ASSERT_TRUE(d.leggi("f.bin", letto).ok);
  EXPECT_EQ(letto, contenuto);
}

TEST(DiscoReale, LeggiFallisceConIlMotivo) {
  cartella_prova c;
  fs::create_directory(c / "cartella");
  disco_reale d(c.percorso());
  const struct {
    const char* nome;
    int errno_atteso;
  } casi[] = {{"manca.txt", ENOENT}, {"cartella", errno_cartella}};
  for (const auto& caso : casi) {
    SCOPED_TRACE(caso.nome);
    std::string letto = "intatto";
    esito_io e = d.leggi(caso.nome, letto);
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.file, (c / caso.nome).string());
    EXPECT_EQ(e.motivo, std::strerror(caso.errno_atteso));
    EXPECT_EQ(letto, "intatto");
  }
}

TEST(DiscoReale, EliminaEsiste) {
  cartella_prova c;
  scrivi(c / "f.txt", "x");
  fs::create_directory(c / "vuota");
  disco_reale d(c.percorso());

  EXPECT_TRUE(d.esiste("f.txt"));
  EXPECT_FALSE(d.esiste("vuota"));
  EXPECT_FALSE(d.esiste("manca.txt"));

  EXPECT_TRUE(d.elimina("f.txt").ok);
  EXPECT_FALSE(fs::exists(c / "f.txt"));
  EXPECT_TRUE(d.elimina("manca.txt").ok);

  // Only files are deleted: even an empty directory stays, and the failure says so.
  esito_io e = d.elimina("vuota");
  EXPECT_FALSE(e.ok);
  EXPECT_EQ(e.file, (c / "vuota").string());
  EXPECT_EQ(e.motivo, std::strerror(errno_cartella));
  EXPECT_TRUE(fs::is_directory(c / "vuota"));
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// A draft is the target's temporary: written at any offset, read back and
// cut; dropped, it leaves nothing; put in place, it replaces the target.
TEST(DiscoReale, UnaBozzaScriveAOffsetEPrendeIlPostoDelFile) {
  cartella_prova c;
  scrivi(c / "p.dat", "vecchio");
  disco_reale d(c.percorso());
  {
    std::unique_ptr<bozza> b = d.apri_bozza("p.dat");
    ASSERT_TRUE(b->scrivi(0, "nuovo"));
    EXPECT_EQ(temporanei_in(c.percorso()).size(), 1u);
  }
  EXPECT_TRUE(temporanei_in(c.percorso()).empty()) << "a dropped draft leaves no trace";
  EXPECT_EQ(leggi(c / "p.dat"), "vecchio");

  std::vector<std::unique_ptr<bozza>> bozze;
  bozze.push_back(d.apri_bozza("p.dat"));
  bozze.push_back(d.apri_bozza("q.dat"));
  bozza& p = *bozze[0];
  ASSERT_TRUE(p.scrivi(6, "colonna1"));
  ASSERT_TRUE(p.scrivi(0, "col0::"));
  std::string letto(6, '\0');
  ASSERT_TRUE(p.leggi(6, {letto.data(), letto.size()}));
  EXPECT_EQ(letto, "colonn");
  ASSERT_TRUE(p.tronca(10));
  ASSERT_TRUE(bozze[1]->scrivi(0, "q"));
  ASSERT_TRUE(d.metti_al_posto(bozze).ok);
  EXPECT_EQ(leggi(c / "p.dat"), "col0::colo");
  EXPECT_EQ(leggi(c / "q.dat"), "q");
  bozze.clear();
  EXPECT_EQ(leggi(c / "p.dat"), "col0::colo") << "a draft put in place is not removed";
}

// A draft the disk refuses: named with the system's reason, and no target replaced.
TEST(DiscoReale, UnaBozzaSulDiscoPienoNominaIlTemporaneo) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  cartella_prova c;
  scrivi(c / "a.dat", "vecchio a");
  scrivi(c / "b.dat", "vecchio b");
  prova::guasti_temporanei g;
  g.pieni.push_back(c / "b.dat");
  disco_reale d(c.percorso(), &g);
  std::vector<std::unique_ptr<bozza>> bozze;
  bozze.push_back(d.apri_bozza("a.dat"));
  bozze.push_back(d.apri_bozza("b.dat"));
  bozze[0]->scrivi(0, "nuovo a");
  EXPECT_FALSE(bozze[1]->scrivi(0, std::string(70000, 'b')));
  const esito_io e = d.metti_al_posto(bozze);
  EXPECT_FALSE(e.ok);
  EXPECT_TRUE(temporaneo_di(e.file, c / "b.dat")) << e.file;
  EXPECT_EQ(e.motivo, std::strerror(ENOSPC));
  EXPECT_EQ(leggi(c / "a.dat"), "vecchio a");
  EXPECT_EQ(leggi(c / "b.dat"), "vecchio b");
  bozze.clear();
  EXPECT_TRUE(temporanei_in(c.percorso()).empty());
}

}  // namespace
}  // namespace scenario
