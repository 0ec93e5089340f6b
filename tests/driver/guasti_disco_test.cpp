// Whole runs on a disk that fails, each failure made by the system itself in a
// real directory: the N-th file operation of a run meets a full device, a
// directory where a file should be, or a program directory taken away, for
// N = 1, 2, … until the run completes; and the real program on a file system
// that fills up or is mounted read-only. Every time: status 2, one line naming
// the file and the system's reason, and each output of the earlier run either
// untouched or (when the run had already replaced it) whole and new.
#if !defined(_WIN32)

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "avvio_programma.h"
#include "cartella_prova.h"
#include "driver/esecuzione.h"
#include "driver/file_programma.h"
#include "sources/nomi_file.h"
#include "temporanei_prova.h"
#include "uscite_prova.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using namespace prova;

// Each output must be the earlier one, or the new one whole; the new ones are
// the first k in the order of replacement. Returns k.
size_t controlla_uscite(const fs::path& cartella, const std::map<std::string, std::string>& nuove) {
  size_t sostituite = 0;
  bool precedenti_visti = false;
  for (const std::string& n : uscite_predefinite()) {
    SCOPED_TRACE(n);
    const fs::path p = cartella / n;
    EXPECT_TRUE(fs::is_regular_file(p)) << "output missing";
    const std::string c = leggi(p);
    if (c == precedente(n)) {
      precedenti_visti = true;
    } else {
      EXPECT_EQ(c.size(), nuove.at(n).size()) << "neither the earlier nor the new output";
      EXPECT_TRUE(c == nuove.at(n)) << "neither the earlier nor the new output";
      EXPECT_FALSE(precedenti_visti) << "replaced out of order";
      ++sostituite;
    }
  }
  return sostituite;
}

void nessun_temporaneo(const fs::path& cartella) {
  for (const fs::path& t : prova::temporanei_in(cartella)) ADD_FAILURE() << "temporary left: " << t;
}

class finestra_muta : public finestra {
 public:
  void mostra_attendere() override {}
  void mostra_errore(std::string_view testo) override { errori.emplace_back(testo); }
  std::vector<std::string> errori;
};

enum class sabotaggio {
  disco_pieno,     // a write goes to /dev/full; a read or a delete meets a directory
  cartella_tolta,  // the program's directory is moved away
};

struct operazione {
  enum tipo_operazione { scrive, legge, elimina } tipo;
  std::string nome;
  bool operator==(const operazione&) const = default;
};

// The real disk; just before its N-th file operation (esiste is a question,
// not an operation) it arranges that the system refuse that operation.
class disco_sabotato : public disco {
 public:
  disco_sabotato(fs::path cartella, fs::path altrove, sabotaggio tipo, int n)
      : reale_(cartella, &guasti_),
        cartella_(std::move(cartella)),
        altrove_(std::move(altrove)),
        tipo_(tipo),
        n_(n) {}

  bool esiste(const std::string& nome) override { return reale_.esiste(nome); }
  esito_io leggi(const std::string& nome, std::string& contenuto) override {
    prima({operazione::legge, nome});
    return reale_.leggi(nome, contenuto);
  }
  esito_io sostituisci(const std::string& nome, std::string_view contenuto) override {
    prima({operazione::scrive, nome});
    return reale_.sostituisci(nome, contenuto);
  }
  esito_io sostituisci_a_pezzi(const std::string& nome, const produttore& contenuto) override {
    prima({operazione::scrive, nome});
    return reale_.sostituisci_a_pezzi(nome, contenuto);
  }
  esito_io elimina(const std::string& nome) override {
    prima({operazione::elimina, nome});
    return reale_.elimina(nome);
  }

  std::vector<operazione> operazioni;
  bool scattato = false;

 private:
  void prima(const operazione& o) {
    operazioni.push_back(o);
    if (static_cast<int>(operazioni.size()) != n_) return;
    scattato = true;
    const fs::path file = cartella_ / o.nome;
    switch (tipo_) {
      case sabotaggio::disco_pieno:
        if (o.tipo == operazione::scrive) {
          guasti_.pieni.push_back(file);
        } else {
          fs::remove(file);
          fs::create_directory(file);
        }
        break;
      case sabotaggio::cartella_tolta:
        fs::rename(cartella_, altrove_);
        break;
    }
  }

  prova::guasti_temporanei guasti_;
  disco_reale reale_;
  fs::path cartella_;
  fs::path altrove_;
  sabotaggio tipo_;
  int n_;
};

struct esito_sabotato {
  int stato = -1;
  std::string errori;
  std::vector<std::string> riquadri;
  std::vector<operazione> operazioni;
  bool scattato = false;
};

esito_sabotato esegui_sabotato(const fs::path& cartella, const fs::path& altrove, sabotaggio tipo,
                               int n) {
  disco_sabotato d(cartella, altrove, tipo, n);
  finestra_muta f;
  ::testing::internal::CaptureStderr();
  esito_sabotato r;
  r.stato = esegui(d, f);
  r.errori = ::testing::internal::GetCapturedStderr();
  r.riquadri = f.errori;
  r.operazioni = d.operazioni;
  r.scattato = d.scattato;
  return r;
}

std::map<std::string, std::string> uscite_di(const fs::path& cartella) {
  std::map<std::string, std::string> m;
  for (const std::string& n : uscite_predefinite()) m[n] = leggi(cartella / n);
  return m;
}

// The outputs of a complete run in a directory of their own.
std::map<std::string, std::string> uscite_nuove(const fs::path& cartella) {
  fs::create_directories(cartella);
  disco_reale d(cartella);
  finestra_muta f;
  EXPECT_EQ(esegui(d, f), uscita_normale);
  return uscite_di(cartella);
}

// The operations of a complete run, in order: a failure can come at each.
// The sources are deleted last, once every output is in place.
std::vector<operazione> operazioni_di_una_run() {
  const nomi_file n = nomi_file::predefiniti();
  using o = operazione;
  return {{o::scrive, n.sorgente_linea()},
          {o::scrive, n.sorgente_treno()},
          {o::legge, n.sorgente_linea()},
          {o::legge, n.sorgente_treno()},
          {o::scrive, n.note()},
          {o::scrive, n.rallentamenti()},
          {o::scrive, n.scheda_treno()},
          {o::scrive, n.linea_compilata()},
          {o::scrive, n.treno_compilato()},
          {o::scrive, n.griglia_compilata()},
          {o::elimina, n.sorgente_linea()},
          {o::elimina, n.sorgente_treno()}};
}

// The line the run must give for the operation that failed: a write names
// the temporary of its file.
void controlla_riga(const std::string& riga, const fs::path& cartella, const operazione& o,
                    int numero_errno) {
  const fs::path p = cartella / o.nome;
  const std::string coda = std::string(": ") + std::strerror(numero_errno) + "\n";
  const std::string inizio = "compila_scenario: ";
  ASSERT_GT(riga.size(), inizio.size() + coda.size()) << riga;
  ASSERT_EQ(riga.substr(0, inizio.size()), inizio) << riga;
  ASSERT_EQ(riga.substr(riga.size() - coda.size()), coda) << riga;
  const fs::path nominato = riga.substr(inizio.size(), riga.size() - inizio.size() - coda.size());
  if (o.tipo == operazione::scrive) {
    EXPECT_TRUE(temporaneo_di(nominato, p)) << riga;
  } else {
    EXPECT_EQ(nominato, p) << riga;
  }
}

struct caso_sabotaggio {
  const char* descrizione;
  sabotaggio tipo;
};

TEST(GuastiDisco, OgniOperazioneCheFallisceLasciaIntattoCioCheEraSulDisco) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const caso_sabotaggio casi[] = {
      {"disco pieno o una cartella al posto del file", sabotaggio::disco_pieno},
      {"cartella del programma tolta", sabotaggio::cartella_tolta},
  };
  cartella_unica c;
  const std::map<std::string, std::string> nuove = uscite_nuove(c / "riferimento");
  for (const auto& caso : casi) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(std::string(caso.descrizione) + ", operation " + std::to_string(n));
      const fs::path cartella = c / "programma";
      const fs::path altrove = c / "tolta";
      fs::remove_all(cartella);
      fs::remove_all(altrove);
      fs::create_directories(cartella);
      posa_precedenti(cartella);

      const esito_sabotato r = esegui_sabotato(cartella, altrove, caso.tipo, n);

      if (!r.scattato) {
        // Past the last operation: the run completes and replaces everything.
        EXPECT_EQ(r.stato, uscita_normale) << r.errori;
        EXPECT_EQ(r.operazioni, operazioni_di_una_run());
        EXPECT_EQ(controlla_uscite(cartella, nuove), uscite_predefinite().size());
        break;
      }
      ASSERT_LE(n, 100) << "the run never completes";
      EXPECT_TRUE(r.riquadri.empty());
      const size_t i = static_cast<size_t>(n - 1);
      ASSERT_LT(i, r.operazioni.size());
      // A delete in a directory that is gone finds nothing to delete, which is
      // no failure: the first operation after it fails instead, and when only
      // the deletes of the sources were left, the run was complete.
      size_t fallita = i;
      if (caso.tipo == sabotaggio::cartella_tolta) {
        while (fallita < r.operazioni.size() && r.operazioni[fallita].tipo == operazione::elimina)
          ++fallita;
        if (fallita == r.operazioni.size()) {
          EXPECT_EQ(r.stato, uscita_normale) << r.errori;
          EXPECT_EQ(controlla_uscite(altrove, nuove), uscite_predefinite().size());
          nessun_temporaneo(altrove);
          continue;
        }
      }
      EXPECT_EQ(r.stato, uscita_disco) << r.errori;
      ASSERT_LT(fallita, r.operazioni.size()) << r.errori;
      int atteso = ENOENT;
      if (caso.tipo == sabotaggio::disco_pieno)
        atteso = r.operazioni[i].tipo == operazione::scrive ? ENOSPC : EISDIR;
      controlla_riga(r.errori, cartella, r.operazioni[fallita], atteso);

      // The run stops at the failure, its sources not deleted. On the disk,
      // each output replaced before it is the new one, whole; every other one
      // is the earlier one, byte for byte.
      EXPECT_EQ(r.operazioni.size(), fallita + 1) << "work went on after the failure";
      const fs::path rimasta = caso.tipo == sabotaggio::cartella_tolta ? altrove : cartella;
      const std::vector<std::string> tutte = uscite_predefinite();
      size_t sostituite = 0;
      for (size_t k = 0; k < fallita; ++k) {
        const operazione& o = r.operazioni[k];
        if (o.tipo == operazione::scrive && std::count(tutte.begin(), tutte.end(), o.nome) != 0)
          ++sostituite;
      }
      EXPECT_EQ(controlla_uscite(rimasta, nuove), sostituite);
      nessun_temporaneo(rimasta);
    }
  }
}

// Mounts made for one test and undone when it ends, however it ends.
class montaggi {
 public:
  montaggi() = default;
  montaggi(const montaggi&) = delete;
  montaggi& operator=(const montaggi&) = delete;
  ~montaggi() {
    for (auto it = punti_.rbegin(); it != punti_.rend(); ++it) umount2(it->c_str(), MNT_DETACH);
  }

  // A memory file system of `byte` bytes. False when the system refuses.
  bool tmpfs(const fs::path& dove, size_t byte) {
    const std::string opzioni = "size=" + std::to_string(byte);
    return esito(dove, mount("tmpfs", dove.c_str(), "tmpfs", 0, opzioni.c_str()));
  }
  // The directory, mounted onto itself and then made read-only.
  bool sola_lettura(const fs::path& dove) {
    if (!esito(dove, mount(dove.c_str(), dove.c_str(), nullptr, MS_BIND, nullptr))) return false;
    if (mount(nullptr, dove.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0)
      return true;
    motivo = std::strerror(errno);
    return false;
  }
  std::string motivo;

 private:
  bool esito(const fs::path& dove, int r) {
    if (r != 0) {
      motivo = std::strerror(errno);
      return false;
    }
    punti_.push_back(dove);
    return true;
  }

  std::vector<fs::path> punti_;
};

// Fills the file system that holds `file` until only `libero` bytes are free.
bool riempi(const fs::path& file, size_t libero) {
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return false;
  const std::string blocco(65536, 'r');
  off_t scritti = 0;
  for (;;) {
    const ssize_t n = write(fd, blocco.data(), blocco.size());
    if (n <= 0) break;
    scritti += n;
  }
  const bool pieno = errno == ENOSPC;
  const off_t resta =
      scritti > static_cast<off_t>(libero) ? scritti - static_cast<off_t>(libero) : 0;
  const bool ok = pieno && ftruncate(fd, resta) == 0;
  close(fd);
  return ok;
}

// The real program on a small memory file system filled up to several sizes
// of free space: as much as fits is written, the rest stays as it was.
TEST(GuastiDisco, IlProgrammaSuUnDiscoPienoLasciaLeUscitePrecedenti) {
  cartella_unica c;
  {
    const fs::path e = copia_programma(c / "riferimento");
    ASSERT_EQ(prova::esegui_programma(e, c / "errori_riferimento.txt").stato, 0);
  }
  const std::map<std::string, std::string> riferimento = uscite_di(c / "riferimento");
  const fs::path cartella = c / "programma";
  fs::create_directories(cartella);
  montaggi m;
  const size_t margine = 16u << 20;
  if (!m.tmpfs(cartella, fs::file_size(SCENARIO_PROGRAMMA) + margine))
    GTEST_SKIP() << "cannot mount a tmpfs here: " << m.motivo;
  const fs::path eseguibile = copia_programma(cartella);
  const fs::path riempitivo = cartella / "riempitivo";
  const nomi_file n = nomi_file::predefiniti();

  // In pages: none; room for part of the sources; for the sources and the
  // documents; for part of the plan, so that it fails in mid-write; for all
  // but the grid; for everything.
  const size_t pagina = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t pagine_libere[] = {0, 1, 3, 4, 256, 503, 512, 1024};
  for (const size_t pagine : pagine_libere) {
    const size_t libero = pagine * pagina;
    SCOPED_TRACE("free pages: " + std::to_string(pagine));
    posa_precedenti(cartella);
    ASSERT_TRUE(riempi(riempitivo, libero));

    const prova::esito_processo r = prova::esegui_programma(eseguibile, c / "errori.txt");

    ASSERT_TRUE(r.uscito) << "ended by signal " << r.segnale;
    const size_t sostituite = controlla_uscite(cartella, riferimento);
    nessun_temporaneo(cartella);
    if (r.stato == 0) {
      EXPECT_EQ(sostituite, uscite_predefinite().size());
      EXPECT_TRUE(prova::messaggi_errore(r.errori).empty()) << r.errori;
    } else {
      EXPECT_EQ(r.stato, 2) << r.errori;
      // The set is all or nothing: a file that did not fit left every output
      // as it was; the line names the temporary of a source or an output.
      EXPECT_EQ(sostituite, 0u);
      std::vector<std::string> possibili = uscite_predefinite();
      possibili.push_back(n.sorgente_linea());
      possibili.push_back(n.sorgente_treno());
      const std::vector<std::string> messaggi = prova::messaggi_errore(r.errori);
      ASSERT_EQ(messaggi.size(), 1u) << r.errori;
      const std::string coda = std::string(": ") + std::strerror(ENOSPC);
      const std::string& m = messaggi[0];
      ASSERT_GT(m.size(), coda.size()) << m;
      EXPECT_EQ(m.substr(m.size() - coda.size()), coda) << m;
      const fs::path nominato =
          m.substr(std::string("compila_scenario: ").size(),
                   m.size() - coda.size() - std::string("compila_scenario: ").size());
      EXPECT_TRUE(std::any_of(possibili.begin(), possibili.end(), [&](const std::string& f) {
        return temporaneo_di(nominato, cartella / f);
      })) << m;
    }
    if (libero == 0) {
      EXPECT_EQ(r.stato, 2) << "nothing can be written on a full disk";
    }
    fs::remove(riempitivo);
  }
  // With room again the next run completes, whatever the failures left.
  const prova::esito_processo r = prova::esegui_programma(eseguibile, c / "errori.txt");
  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(uscite_di(cartella), riferimento);
  nessun_temporaneo(cartella);
}

// The real program in a directory mounted read-only: nothing can be written,
// so the very first file fails and every earlier output stays.
TEST(GuastiDisco, IlProgrammaInUnaCartellaDiSolaLetturaNonToccaNulla) {
  cartella_unica c;
  const fs::path cartella = c / "programma";
  const fs::path eseguibile = copia_programma(cartella);
  posa_precedenti(cartella);
  {
    montaggi m;
    if (!m.sola_lettura(cartella)) GTEST_SKIP() << "cannot remount read-only here: " << m.motivo;

    const prova::esito_processo r = prova::esegui_programma(eseguibile, c / "errori.txt");

    EXPECT_EQ(r.stato, 2) << r.errori;
    const std::vector<std::string> messaggi = prova::messaggi_errore(r.errori);
    ASSERT_EQ(messaggi.size(), 1u) << r.errori;
    controlla_riga(messaggi[0] + "\n", cartella,
                   {operazione::scrive, nomi_file::predefiniti().sorgente_linea()}, EROFS);
    for (const std::string& u : uscite_predefinite())
      EXPECT_EQ(leggi(cartella / u), precedente(u)) << u;
  }
  // Writable again: the run goes through.
  const prova::esito_processo r = prova::esegui_programma(eseguibile, c / "errori.txt");
  EXPECT_EQ(r.stato, 0) << r.errori;
  nessun_temporaneo(cartella);
}

}  // namespace
}  // namespace scenario

#endif  // !_WIN32
