// The temporaries beside a folder's files, and a watcher of the real disk's
// temporaries that makes chosen ones fail by the system's own hand: a full
// device behind the temporary of a target, or a directory put in a target's
// way just before it is replaced.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "driver/file_programma.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace scenario::prova {

// Files named like our temporaries (NAME.XXXXXXXX.nuovo or .vecchio).
inline std::vector<std::filesystem::path> temporanei_in(const std::filesystem::path& cartella) {
  std::vector<std::filesystem::path> r;
  for (const auto& v : std::filesystem::directory_iterator(cartella)) {
    const std::string e = v.path().extension().string();
    if ((e == ".nuovo" || e == ".vecchio") &&
        temporaneo_di(v.path(), v.path().parent_path() / v.path().stem().stem()))
      r.push_back(v.path());
  }
  return r;
}

class guasti_temporanei : public osservatore_temporanei {
 public:
  // The temporaries of these targets write to /dev/full.
  std::vector<std::filesystem::path> pieni;
  // Called just before a target is replaced.
  std::function<void(const std::filesystem::path&)> prima;
  std::vector<std::filesystem::path> creati;

  void creato(const std::filesystem::path& temporaneo, int descrittore) override {
    creati.push_back(temporaneo);
#ifndef _WIN32
    for (const auto& d : pieni) {
      if (!temporaneo_di(temporaneo, d)) continue;
      const int pieno = ::open("/dev/full", O_RDWR | O_CLOEXEC);
      if (pieno >= 0) {
        ::dup2(pieno, descrittore);
        ::close(pieno);
      }
    }
#else
    (void)descrittore;
#endif
  }
  void prima_di_sostituire(const std::filesystem::path& destinazione) override {
    if (prima) prima(destinazione);
  }
};

}  // namespace scenario::prova
