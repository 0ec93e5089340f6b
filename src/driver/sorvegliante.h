// What compile --watch waits on: a change of either source in its folder, or
// a request to stop (Ctrl-C, SIGTERM, the console closing). The system tells
// of the changes where it can (inotify on Linux, ReadDirectoryChangesW on
// Windows; the folder is watched, since editors save by writing a new file
// and renaming it over the old); else, or when asked, the sources' size and
// modification time are read every half second. A stop request that comes
// during a compile is seen at the next wait: a compile is never cut short.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace scenario {

struct evento_sorveglianza {
  enum tipo { modifica, nulla, fine, guasto } tipo = nulla;
  std::vector<std::string> nomi;  // the sources changed (modifica)
  std::string motivo;             // what failed (guasto)
};

class sorvegliante {
 public:
  virtual ~sorvegliante() = default;
  // Waits at most `millisecondi` (negative: as long as it takes).
  virtual evento_sorveglianza attendi(int millisecondi) = 0;
  // How the changes are learnt, for the user: "inotify", ...
  virtual std::string modo() const = 0;
};

// Watches the files `nomi` in `cartella`; `a_intervalli` asks for the
// periodic reading even where the system could tell. Null on a failure,
// with its reason in `motivo`.
std::unique_ptr<sorvegliante> crea_sorvegliante(const std::filesystem::path& cartella,
                                                const std::vector<std::string>& nomi,
                                                bool a_intervalli, std::string& motivo);

// The periodic reading's view of the sources: size and modification time of
// each (or that it is missing); `confronta` says which changed since the last
// look, and remembers what it saw.
class impronte_file {
 public:
  impronte_file(std::filesystem::path cartella, std::vector<std::string> nomi);
  std::vector<std::string> confronta();

  static constexpr int intervallo_ms = 500;

 private:
  struct impronta {
    bool esiste = false;
    std::uintmax_t dimensione = 0;
    std::filesystem::file_time_type ora{};
    bool operator==(const impronta&) const = default;
  };
  impronta leggi(const std::string& nome) const;

  std::filesystem::path cartella_;
  std::vector<std::string> nomi_;
  std::vector<impronta> viste_;
};

}  // namespace scenario
