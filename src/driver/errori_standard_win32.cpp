// A GUI program's C runtime (msvcrt) starts stderr with no descriptor at all
// (-2) when the parent gave no handle, and writes then vanish. Here
// descriptor 2 becomes the parent's console or, failing that, the write end
// of a pipe that a reader thread drains (so a writer never blocks on a full
// pipe) until the end of main, and the stream is tied to it.
#include "driver/errori_standard_win32.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver/finestra_win32.h"

namespace scenario {

struct errori_standard_win32::raccolta {
  HANDLE lettura = nullptr;
  HANDLE lettore = nullptr;
  std::string testo;
};

namespace {

bool maniglia_utile(DWORD quale) {
  HANDLE h = GetStdHandle(quale);
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

// msvcrt's FILE is a public structure: the stream is given its descriptor
// directly, because freopen refuses a stream that has none under some
// implementations of msvcrt (Wine's among them).
bool collega(std::FILE* flusso, int numero, int descrittore) {
  std::fflush(flusso);
  if (_dup2(descrittore, numero) != 0) return false;
  flusso->_file = numero;
  std::clearerr(flusso);
  return true;
}

DWORD WINAPI leggi_tutto(void* dati) {
  auto* r = static_cast<errori_standard_win32::raccolta*>(dati);
  char blocco[4096];
  DWORD letti = 0;
  while (ReadFile(r->lettura, blocco, sizeof blocco, &letti, nullptr) && letti > 0)
    r->testo.append(blocco, letti);
  return 0;
}

}  // namespace

errori_standard_win32::errori_standard_win32() {
  if (maniglia_utile(STD_ERROR_HANDLE)) return;
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    const int descrittore =
        console != INVALID_HANDLE_VALUE
            ? _open_osfhandle(reinterpret_cast<intptr_t>(console), _O_WRONLY | _O_TEXT)
            : -1;
    if (descrittore >= 0) {
      collega(stderr, 2, descrittore);
      if (!maniglia_utile(STD_OUTPUT_HANDLE)) collega(stdout, 1, descrittore);
      _close(descrittore);
      return;
    }
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    FreeConsole();
  }
  auto r = std::make_unique<raccolta>();
  HANDLE scrittura = nullptr;
  if (!CreatePipe(&r->lettura, &scrittura, nullptr, 0)) return;
  const int descrittore =
      _open_osfhandle(reinterpret_cast<intptr_t>(scrittura), _O_WRONLY | _O_BINARY);
  if (descrittore < 0) {
    CloseHandle(scrittura);
    CloseHandle(r->lettura);
    return;
  }
  const bool collegato = collega(stderr, 2, descrittore);
  _close(descrittore);
  if (collegato) r->lettore = CreateThread(nullptr, 0, leggi_tutto, r.get(), 0, nullptr);
  if (r->lettore == nullptr) {
    if (collegato) _close(2);
    CloseHandle(r->lettura);
    return;
  }
  raccolta_ = std::move(r);
}

errori_standard_win32::~errori_standard_win32() {
  if (!raccolta_) return;
  // Closing the last write end lets the reader see the end of the pipe.
  std::fflush(stderr);
  _close(2);
  WaitForSingleObject(raccolta_->lettore, INFINITE);
  CloseHandle(raccolta_->lettore);
  CloseHandle(raccolta_->lettura);
  std::string& testo = raccolta_->testo;
  while (!testo.empty() && (testo.back() == '\n' || testo.back() == '\r')) testo.pop_back();
  if (!testo.empty()) mostra_riquadro_win32(testo);
}

}  // namespace scenario
