#include <windows.h>

#include <system_error>

#include "driver/blocco_cartella.h"

namespace scenario {

// An exclusive open of the lock file is the lock: a second run's open fails
// with a sharing violation until the first closes it, and the file goes with
// the last handle (FILE_FLAG_DELETE_ON_CLOSE), also when the process dies.
blocco_cartella::blocco_cartella(const std::filesystem::path& cartella, std::ostream& err)
    : file_(cartella / nome_blocco) {
  bool avvisato = false;
  int negati = 0;
  for (;;) {
    HANDLE h = CreateFileW(file_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      maniglia_ = h;
      return;
    }
    const DWORD codice = GetLastError();
    // Access denied is also a lock file still being deleted by its holder;
    // on a folder nobody may write into it lasts, and the run goes on
    // unlocked (its first write fails there and names its own file).
    const bool in_chiusura = codice == ERROR_ACCESS_DENIED &&
                             GetFileAttributesW(file_.c_str()) != INVALID_FILE_ATTRIBUTES &&
                             ++negati < 250;
    if (codice == ERROR_ACCESS_DENIED && !in_chiusura) return;
    if (codice != ERROR_SHARING_VIOLATION && !in_chiusura) {
      esito_ = esito_io::fallito(file_.string(), std::system_category().message(codice));
      return;
    }
    annuncia_attesa(err, cartella, avvisato);
    Sleep(20);
  }
}

blocco_cartella::~blocco_cartella() {
  if (maniglia_ != nullptr) CloseHandle(static_cast<HANDLE>(maniglia_));
}

}  // namespace scenario
