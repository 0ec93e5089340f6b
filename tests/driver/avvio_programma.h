// Starts a copy of the real program as a user would: no arguments, no display,
// from another working directory, its standard error kept in a file. It can
// be waited for or killed at any moment. POSIX only.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cartella_prova.h"

extern char** environ;

namespace scenario::prova {

// A fresh directory of its own under the system's temporary directory,
// removed with everything in it at the end: two test programs running the
// same test at once (two build trees) never share it.
class cartella_unica {
 public:
  cartella_unica() {
    std::string modello =
        (std::filesystem::temp_directory_path() / "compila_scenario_XXXXXX").string();
    if (mkdtemp(modello.data()) == nullptr) ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
    percorso_ = modello;
  }
  ~cartella_unica() {
    std::error_code ec;
    std::filesystem::remove_all(percorso_, ec);
  }
  cartella_unica(const cartella_unica&) = delete;
  cartella_unica& operator=(const cartella_unica&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

 private:
  std::filesystem::path percorso_;
};

struct fine_programma {
  bool uscito = false;  // ended by itself, with `stato`
  int stato = -1;
  int segnale = 0;  // the signal that ended it otherwise
  std::string errori;
};

class programma_avviato {
 public:
  // `errori` receives its standard error; it runs in the directory holding it.
  programma_avviato(const std::filesystem::path& eseguibile, const std::filesystem::path& errori)
      : errori_(errori) {
    // Everything the child needs is built before the fork: after it, the child
    // only redirects and executes.
    const std::set<std::string> tolte = {"DISPLAY", "WAYLAND_DISPLAY"};
    for (char** v = environ; *v != nullptr; ++v) {
      const std::string riga = *v;
      if (tolte.count(riga.substr(0, riga.find('='))) == 0) ambiente_.push_back(riga);
    }
    std::vector<char*> env;
    for (auto& r : ambiente_) env.push_back(r.data());
    env.push_back(nullptr);
    std::string percorso = eseguibile.string();
    std::string cartella = errori.parent_path().string();
    char* argv[] = {percorso.data(), nullptr};
    pid_ = fork();
    if (pid_ == 0) {
      const int e = open(errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (e < 0 || dup2(e, 2) < 0 || chdir(cartella.c_str()) != 0) _exit(125);
      execve(argv[0], argv, env.data());
      _exit(126);
    }
    if (pid_ < 0) ADD_FAILURE() << "fork: " << std::strerror(errno);
  }
  ~programma_avviato() {
    if (pid_ > 0 && !atteso_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  programma_avviato(const programma_avviato&) = delete;
  programma_avviato& operator=(const programma_avviato&) = delete;

  void uccidi() {
    if (pid_ > 0) kill(pid_, SIGKILL);
  }

  fine_programma attendi() {
    fine_programma f;
    int stato = 0;
    if (pid_ <= 0 || waitpid(pid_, &stato, 0) != pid_) {
      ADD_FAILURE() << "waitpid: " << std::strerror(errno);
      return f;
    }
    atteso_ = true;
    f.uscito = WIFEXITED(stato);
    f.stato = f.uscito ? WEXITSTATUS(stato) : -1;
    f.segnale = WIFSIGNALED(stato) ? WTERMSIG(stato) : 0;
    f.errori = leggi(errori_);
    return f;
  }

 private:
  std::filesystem::path errori_;
  std::vector<std::string> ambiente_;
  pid_t pid_ = -1;
  bool atteso_ = false;
};

inline fine_programma esegui_programma(const std::filesystem::path& eseguibile,
                                       const std::filesystem::path& errori) {
  programma_avviato p(eseguibile, errori);
  return p.attendi();
}

// The lines on standard error besides the console's "Attendere".
inline std::vector<std::string> messaggi_errore(const std::string& errori) {
  std::vector<std::string> r;
  std::istringstream in(errori);
  for (std::string riga; std::getline(in, riga);)
    if (riga != "Attendere") r.push_back(riga);
  return r;
}

// A copy of the real program in `cartella` (made when missing), runnable by
// its owner: the default run writes beside the program it runs as.
inline std::filesystem::path copia_programma(const std::filesystem::path& cartella) {
  std::filesystem::create_directories(cartella);
  const std::filesystem::path eseguibile = cartella / "compila_scenario";
  std::filesystem::copy_file(SCENARIO_PROGRAMMA, eseguibile);
  std::filesystem::permissions(eseguibile, std::filesystem::perms::owner_all);
  return eseguibile;
}

}  // namespace scenario::prova
