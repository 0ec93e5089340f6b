// The real program, started as a user starts it: a copy of the executable (and
// of the window module, when built) in a directory of its own, run from
// another working directory, with the environment each case needs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cartella_prova.h"
#include "driver/finestra_modulo.h"
#include "sources/nomi_file.h"

extern char** environ;

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::cartella_prova;
using prova::leggi;
using prova::scrivi;

const nomi_file nomi{std::string(linea_predefinita), std::string(treno_predefinito)};

std::vector<std::string> uscite() {
  return {nomi.note(),           nomi.rallentamenti(),   nomi.scheda_treno(),
          nomi.linea_compilata(), nomi.treno_compilato(), nomi.griglia_compilata()};
}

std::vector<std::string> tutti_i_file() {
  std::vector<std::string> tutti = {nomi.sorgente_linea(), nomi.sorgente_treno()};
  for (auto& n : uscite()) tutti.push_back(n);
  return tutti;
}

fs::path modulo_costruito() { return fs::path(SCENARIO_PROGRAMMA).parent_path() / nome_modulo_fltk; }

struct esito_programma {
  int stato = -1;
  std::string errori;  // standard error
  std::string uscita;  // standard output
};

// The run's environment: ours, less what is removed, plus what is added.
std::vector<std::string> ambiente(const std::map<std::string, std::string>& aggiunte,
                                  const std::set<std::string>& tolte) {
  std::vector<std::string> righe;
  for (char** v = environ; *v != nullptr; ++v) {
    std::string riga = *v;
    std::string nome = riga.substr(0, riga.find('='));
    if (tolte.count(nome) == 0 && aggiunte.count(nome) == 0) righe.push_back(riga);
  }
  for (const auto& [nome, valore] : aggiunte) righe.push_back(nome + "=" + valore);
  return righe;
}

class impianto {
 public:
  explicit impianto(bool con_modulo = true) {
    fs::create_directories(programma_);
    fs::create_directories(altrove_);
    fs::copy_file(SCENARIO_PROGRAMMA, eseguibile());
    fs::permissions(eseguibile(), fs::perms::owner_all);
    if (con_modulo && fs::exists(modulo_costruito())) fs::copy_file(modulo_costruito(), programma_ / nome_modulo_fltk);
  }

  fs::path eseguibile() const { return programma_ / "compila_scenario"; }
  const fs::path& cartella() const { return programma_; }
  fs::path operator/(const std::string& nome) const { return programma_ / nome; }

  esito_programma avvia(const std::map<std::string, std::string>& aggiunte = {},
                        const std::set<std::string>& tolte = {}) const {
    const fs::path errori = c_ / "stderr.txt";
    const fs::path uscita = c_ / "stdout.txt";
    std::vector<std::string> righe = ambiente(con_soppressioni(aggiunte), tolte);
    std::vector<char*> env;
    for (auto& r : righe) env.push_back(r.data());
    env.push_back(nullptr);
    std::string percorso = eseguibile().string();
    char* argv[] = {percorso.data(), nullptr};

    pid_t pid = fork();
    if (pid == 0) {
      int e = open(errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int u = open(uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (e < 0 || u < 0 || dup2(e, 2) < 0 || dup2(u, 1) < 0 || chdir(altrove_.c_str()) != 0) _exit(125);
      execve(argv[0], argv, env.data());
      _exit(126);
    }
    esito_programma r;
    int stato = 0;
    if (pid < 0 || waitpid(pid, &stato, 0) != pid) {
      ADD_FAILURE() << "cannot start " << percorso << ": " << std::strerror(errno);
      return r;
    }
    EXPECT_TRUE(WIFEXITED(stato)) << "ended by signal " << (WIFSIGNALED(stato) ? WTERMSIG(stato) : 0);
    r.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    r.errori = leggi(errori);
    r.uscita = leggi(uscita);
    return r;
  }

  // Under the leak checker, a run with a display inherits the font library's
  // lifetime caches; those are the system's, not the program's.
  std::map<std::string, std::string> con_soppressioni(std::map<std::string, std::string> aggiunte) const {
    const fs::path file = c_ / "lsan.supp";
    scrivi(file, "leak:libfontconfig.so\n");
    const char* esistenti = std::getenv("LSAN_OPTIONS");
    std::string opzioni = esistenti != nullptr && *esistenti != '\0' ? std::string(esistenti) + ":" : "";
    aggiunte["LSAN_OPTIONS"] = opzioni + "print_suppressions=0:suppressions=" + file.string();
    return aggiunte;
  }

  // Every output of a run, by name.
  std::map<std::string, std::string> contenuti() const {
    std::map<std::string, std::string> m;
    for (auto& n : uscite())
      if (fs::is_regular_file(programma_ / n)) m[n] = leggi(programma_ / n);
    return m;
  }

  std::set<std::string> elenco() const {
    std::set<std::string> s;
    for (const auto& v : fs::directory_iterator(programma_)) s.insert(v.path().filename().string());
    return s;
  }

 private:
  cartella_prova c_;
  fs::path programma_ = c_ / "programma";
  fs::path altrove_ = c_ / "altrove";
};

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string riga; std::getline(in, riga);) r.push_back(riga);
  return r;
}

// The lines on standard error besides the console's "Attendere".
std::vector<std::string> messaggi(const std::string& errori) {
  std::vector<std::string> r;
  for (auto& riga : righe(errori))
    if (riga != "Attendere") r.push_back(riga);
  return r;
}

bool con_display() {
  const char* d = std::getenv("DISPLAY");
  return d != nullptr && *d != '\0';
}

std::string registro_caricamenti(const fs::path& cartella) {
  std::string tutto;
  for (const auto& v : fs::directory_iterator(cartella))
    if (v.path().filename().string().rfind("ld.", 0) == 0) tutto += leggi(v.path());
  return tutto;
}

TEST(Programma, UnaRunNormaleLasciaLeSeiUsciteEToglieISorgenti) {
  impianto p;
  esito_programma r = p.avvia();

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_TRUE(messaggi(r.errori).empty()) << r.errori;
  EXPECT_EQ(r.uscita, "");
  std::set<std::string> atteso = {"compila_scenario"};
  if (fs::exists(p / nome_modulo_fltk)) atteso.insert(nome_modulo_fltk);
  for (auto& n : uscite()) atteso.insert(n);
  EXPECT_EQ(p.elenco(), atteso);
  for (auto& n : uscite()) EXPECT_GT(fs::file_size(p / n), 0u) << n;
}

TEST(Programma, UnaSecondaRunSostituisceOgniUscitaConGliStessiByte) {
  impianto p;
  ASSERT_EQ(p.avvia().stato, 0);
  const auto prima = p.contenuti();
  ASSERT_EQ(prima.size(), uscite().size());
  // Longer leftovers must not survive at the end of any file.
  for (const auto& [nome, contenuto] : prima) scrivi(p / nome, contenuto + std::string(4096, '#'));

  esito_programma r = p.avvia();

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(p.contenuti(), prima);
}

TEST(Programma, UnFileBloccatoFermaLaRunConUnaRigaCheLoNomina) {
  for (const std::string& bloccato : tutti_i_file()) {
    SCOPED_TRACE(bloccato);
    impianto p;
    ASSERT_EQ(p.avvia().stato, 0);
    const auto prima = p.contenuti();
    fs::remove(p / bloccato);
    fs::create_directory(p / bloccato);
    scrivi(p / bloccato / "dentro", "resta");

    esito_programma r = p.avvia();

    EXPECT_EQ(r.stato, 2);
    const std::string atteso = "compila_scenario: " + (p / bloccato).string() + ": " + std::strerror(EISDIR);
    EXPECT_EQ(messaggi(r.errori), std::vector<std::string>{atteso}) << r.errori;
    EXPECT_EQ(leggi(p / bloccato / "dentro"), "resta");
    auto dopo = p.contenuti();
    auto attesi = prima;
    attesi.erase(bloccato);
    EXPECT_EQ(dopo, attesi);
    for (const auto& nome : p.elenco()) EXPECT_NE(fs::path(nome).extension(), ".nuovo") << "temporary left: " << nome;
  }
}

TEST(Programma, SenzaDisplayNonCaricaLaLibreriaGrafica) {
  impianto p;
  esito_programma r = p.avvia({{"LD_DEBUG", "libs"}, {"LD_DEBUG_OUTPUT", (p.cartella().parent_path() / "ld").string()}},
                              {"DISPLAY", "WAYLAND_DISPLAY"});

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.errori, "Attendere\n");
  const std::string registro = registro_caricamenti(p.cartella().parent_path());
  ASSERT_NE(registro.find("libc.so"), std::string::npos) << "the loader wrote no trace";
  EXPECT_EQ(registro.find("libfltk"), std::string::npos);
  EXPECT_EQ(registro.find(nome_modulo_fltk), std::string::npos);
}

TEST(Programma, ConIlDisplayUsaLaFinestra) {
  if (!con_display()) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
  if (!fs::exists(modulo_costruito())) GTEST_SKIP() << "window module not built";
  impianto p;
  esito_programma r = p.avvia({{"LD_DEBUG", "libs"}, {"LD_DEBUG_OUTPUT", (p.cartella().parent_path() / "ld").string()}});

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.errori, "") << "the console was used instead of the window";
  EXPECT_NE(registro_caricamenti(p.cartella().parent_path()).find("libfltk"), std::string::npos);
}

TEST(Programma, UnDisplayCheNonSiApreRipiegaSullaConsole) {
  if (!fs::exists(modulo_costruito())) GTEST_SKIP() << "window module not built";
  const std::string display = ":4093";
  ASSERT_FALSE(fs::exists("/tmp/.X11-unix/X4093"));
  impianto p;
  esito_programma r = p.avvia({{"DISPLAY", display}}, {"WAYLAND_DISPLAY"});

  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.errori, "Attendere\n");
  EXPECT_EQ(p.contenuti().size(), uscite().size());
}

}  // namespace
}  // namespace scenario
