// Child processes for the tests: the real program, or a helper such as
// timeout(1), started as a user starts it, with the arguments, working
// directory, environment, standard streams and memory limit a test asks for.
// Everything the child needs is built before the fork: after it, the child
// only redirects, limits and executes. POSIX only.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "driver/cartella_prova.h"

extern char** environ;

namespace scenario::prova {

struct avvio {
  std::filesystem::path programma{};
  std::vector<std::string> argomenti{};
  std::filesystem::path cartella{};  // its working directory; empty: the test's own
  // Files taking its standard output and error ("/dev/full" fails every
  // write); empty: the test's own streams.
  std::filesystem::path uscita{};
  std::filesystem::path errori{};
  // Descriptors 1 and 2 closed when it starts.
  bool uscita_chiusa = false;
  bool errori_chiusi = false;
  rlim_t memoria = 0;  // RLIMIT_AS in bytes; 0 leaves it alone
  // "NAME=value" lines; unset: the test's own environment.
  std::optional<std::vector<std::string>> ambiente{};
};

struct esito_processo {
  bool uscito = false;  // ended by itself, with `stato`
  int stato = -1;
  int segnale = 0;       // the signal that ended it otherwise
  std::string uscita{};  // what reached the file of `avvio::uscita`, when a regular file
  std::string errori{};  // the same for `avvio::errori`
};

// The test's environment less the names in `tolte`, plus `aggiunte`.
inline std::vector<std::string> ambiente_con(const std::map<std::string, std::string>& aggiunte,
                                             const std::set<std::string>& tolte) {
  std::vector<std::string> righe;
  for (char** v = environ; *v != nullptr; ++v) {
    const std::string riga = *v;
    const std::string nome = riga.substr(0, riga.find('='));
    if (tolte.count(nome) == 0 && aggiunte.count(nome) == 0) righe.push_back(riga);
  }
  for (const auto& [nome, valore] : aggiunte) righe.push_back(nome + "=" + valore);
  return righe;
}

// As on a machine without a display: the program never opens its window.
inline std::vector<std::string> ambiente_senza_schermo() {
  return ambiente_con({}, {"DISPLAY", "WAYLAND_DISPLAY"});
}

class processo_avviato {
 public:
  explicit processo_avviato(const avvio& a) : a_(a) {
    std::vector<std::string> parole{a.programma.string()};
    parole.insert(parole.end(), a.argomenti.begin(), a.argomenti.end());
    std::vector<char*> argv;
    for (std::string& p : parole) argv.push_back(p.data());
    argv.push_back(nullptr);
    std::vector<std::string> righe = a.ambiente.value_or(std::vector<std::string>{});
    std::vector<char*> env;
    for (std::string& r : righe) env.push_back(r.data());
    env.push_back(nullptr);
    char** const ambiente = a.ambiente ? env.data() : environ;

    pid_ = fork();
    if (pid_ == 0) {
      const auto dirigi = [](const std::filesystem::path& file, int fd) {
        if (file.empty()) return true;
        const int f = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (f < 0 || dup2(f, fd) < 0) return false;
        if (f != fd) close(f);
        return true;
      };
      if (!dirigi(a.uscita, 1) || !dirigi(a.errori, 2)) _exit(125);
      if (!a.cartella.empty() && chdir(a.cartella.c_str()) != 0) _exit(125);
      if (a.memoria != 0) {
        const rlimit r{a.memoria, a.memoria};
        if (setrlimit(RLIMIT_AS, &r) != 0) _exit(125);
      }
      if (a.uscita_chiusa) close(1);
      if (a.errori_chiusi) close(2);
      execve(argv[0], argv.data(), ambiente);
      _exit(126);
    }
    if (pid_ < 0) ADD_FAILURE() << "cannot start " << a.programma << ": " << std::strerror(errno);
  }
  ~processo_avviato() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  processo_avviato(const processo_avviato&) = delete;
  processo_avviato& operator=(const processo_avviato&) = delete;

  void segnala(int segnale) const {
    if (pid_ > 0) kill(pid_, segnale);
  }

  esito_processo attendi() {
    int stato = 0;
    if (pid_ <= 0 || waitpid(pid_, &stato, 0) != pid_) {
      ADD_FAILURE() << "waitpid " << a_.programma << ": " << std::strerror(errno);
      return {};
    }
    return finito(stato);
  }

  // Its end when it comes within `tempo`; nothing when it is still running.
  std::optional<esito_processo> attendi_entro(std::chrono::milliseconds tempo) {
    const auto fine = std::chrono::steady_clock::now() + tempo;
    do {
      int stato = 0;
      if (pid_ > 0 && waitpid(pid_, &stato, WNOHANG) == pid_) return finito(stato);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < fine);
    return std::nullopt;
  }

  // What its standard error holds so far, when it goes to a file.
  std::string errori_finora() const { return leggi_se_file(a_.errori); }

 private:
  static std::string leggi_se_file(const std::filesystem::path& file) {
    // "/dev/full" reads as endless zeros: only a regular file is read back.
    return !file.empty() && std::filesystem::is_regular_file(file) ? leggi(file) : "";
  }

  esito_processo finito(int stato) {
    pid_ = -1;
    esito_processo r;
    r.uscito = WIFEXITED(stato);
    r.stato = r.uscito ? WEXITSTATUS(stato) : -1;
    r.segnale = WIFSIGNALED(stato) ? WTERMSIG(stato) : 0;
    r.uscita = leggi_se_file(a_.uscita);
    r.errori = leggi_se_file(a_.errori);
    return r;
  }

  avvio a_;
  pid_t pid_ = -1;
};

// Starts it and waits for its end, however it ends.
inline esito_processo esegui(const avvio& a) { return processo_avviato(a).attendi(); }

// Runs `programma` with `argomenti` in `cartella`, its output and errors kept
// in two files in `appunti`; it must end by itself.
inline esito_processo avvia(const std::filesystem::path& programma,
                            const std::vector<std::string>& argomenti,
                            const std::filesystem::path& cartella,
                            const std::filesystem::path& appunti) {
  const esito_processo r = esegui({.programma = programma,
                                   .argomenti = argomenti,
                                   .cartella = cartella,
                                   .uscita = appunti / "stdout.txt",
                                   .errori = appunti / "stderr.txt"});
  EXPECT_TRUE(r.uscito) << programma << " ended by signal " << r.segnale;
  return r;
}

// A program on the PATH, or an empty path.
inline std::filesystem::path sul_percorso(const std::string& nome) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string elenco = path;
  for (size_t da = 0; da <= elenco.size();) {
    const size_t a = std::min(elenco.find(':', da), elenco.size());
    const std::filesystem::path candidato = std::filesystem::path(elenco.substr(da, a - da)) / nome;
    if (access(candidato.c_str(), X_OK) == 0) return candidato;
    da = a + 1;
  }
  return {};
}

}  // namespace scenario::prova
