// Runs that write the same files in one folder take turns: each holds an
// advisory lock on a lock file in that folder from its first write to its
// last rename. The system releases it when the process ends, however it ends.
// The lock file is removed by its holder before the lock is let go, so no run
// leaves it behind; a waiter that then finds another file (or none) at the
// name starts again.
#pragma once

#include <filesystem>
#include <ostream>

#include "sources/disco.h"
#include "sources/nome_stampabile.h"

namespace scenario {

inline constexpr const char* nome_blocco = ".compila_scenario.blocco";

class blocco_cartella {
 public:
  // Waits for the folder's lock; `err` hears once that another run holds it
  // (never when nobody does). A failure leaves the object unlocked and `esito`
  // names the lock file and the reason.
  blocco_cartella(const std::filesystem::path& cartella, std::ostream& err);
  ~blocco_cartella();
  blocco_cartella(const blocco_cartella&) = delete;
  blocco_cartella& operator=(const blocco_cartella&) = delete;

  const esito_io& esito() const { return esito_; }

 private:
  // Says once, at the first wait, which folder another run holds.
  static void annuncia_attesa(std::ostream& err, const std::filesystem::path& cartella,
                              bool& avvisato) {
    if (avvisato) return;
    err << "compila_scenario: un'altra esecuzione sta scrivendo in "
        << nome_stampabile(cartella.string()) << ": attendo\n";
    err.flush();
    avvisato = true;
  }

  std::filesystem::path file_;
  esito_io esito_;
#ifdef _WIN32
  void* maniglia_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace scenario
