// The real program started as a user starts it: with arguments, from a
// working directory of the test's own, standard output and error captured.
// POSIX only.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/cartella_prova.h"

namespace scenario::prova {

struct esito_processo {
  int stato = -1;
  std::string uscita;  // standard output
  std::string errori;  // standard error
};

// Runs `programma` with `argomenti` in `cartella`; the captured streams go
// to two files in `appunti`.
inline esito_processo avvia(const std::filesystem::path& programma,
                            const std::vector<std::string>& argomenti,
                            const std::filesystem::path& cartella,
                            const std::filesystem::path& appunti) {
  const std::filesystem::path file_uscita = appunti / "stdout.txt";
  const std::filesystem::path file_errori = appunti / "stderr.txt";
  std::vector<std::string> parole{programma.string()};
  parole.insert(parole.end(), argomenti.begin(), argomenti.end());
  std::vector<char*> argv;
  for (std::string& p : parole) argv.push_back(p.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    const int u = open(file_uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = open(file_errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (u < 0 || e < 0 || dup2(u, 1) < 0 || dup2(e, 2) < 0 || chdir(cartella.c_str()) != 0)
      _exit(125);
    execv(argv[0], argv.data());
    _exit(126);
  }
  esito_processo r;
  int stato = 0;
  if (pid < 0 || waitpid(pid, &stato, 0) != pid) {
    ADD_FAILURE() << "cannot start " << programma << ": " << std::strerror(errno);
    return r;
  }
  EXPECT_TRUE(WIFEXITED(stato)) << "ended by signal " << (WIFSIGNALED(stato) ? WTERMSIG(stato) : 0);
  r.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  r.uscita = leggi(file_uscita);
  r.errori = leggi(file_errori);
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
