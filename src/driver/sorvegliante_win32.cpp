// Windows: ReadDirectoryChangesW on the sources' folder (overlapped, so the
// wait also sees a stop request), and a console control handler for Ctrl-C,
// Ctrl-Break and the console closing, which sets an event. The periodic
// reading waits on that event between two looks. (Linux: sorvegliante.cpp.)
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstring>
#include <cwchar>

#include "driver/sorvegliante.h"

namespace scenario {

namespace {

// The console's handler is a plain function with no argument of ours: the
// event it sets has to be where it can find it. Only the watch sets it.
HANDLE evento_fine = nullptr;

BOOL WINAPI controllo_console(DWORD tipo) {
  switch (tipo) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      if (evento_fine != nullptr) SetEvent(evento_fine);
      return TRUE;
    default:
      return FALSE;
  }
}

std::string errore_sistema(const char* cosa) {
  return std::string(cosa) + ": errore " + std::to_string(GetLastError());
}

std::wstring largo(const std::string& t) {
  const int n = MultiByteToWideChar(CP_ACP, 0, t.data(), static_cast<int>(t.size()), nullptr, 0);
  std::wstring r(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, t.data(), static_cast<int>(t.size()), r.data(), n);
  return r;
}

class sorvegliante_win32 : public sorvegliante {
 public:
  sorvegliante_win32(const std::filesystem::path& cartella, std::vector<std::string> nomi,
                     bool a_intervalli, std::string& motivo)
      : nomi_(nomi), impronte_(cartella, std::move(nomi)) {
    fine_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    cambio_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (fine_ == nullptr || cambio_ == nullptr) {
      motivo = errore_sistema("CreateEvent");
      return;
    }
    evento_fine = fine_;
    SetConsoleCtrlHandler(controllo_console, TRUE);
    std::error_code ec;
    if (!std::filesystem::is_directory(cartella, ec)) {
      motivo = "cartella inesistente";
      return;
    }
    for (const std::string& n : nomi_) larghi_.push_back(largo(n));
    if (!a_intervalli) {
      cartella_ =
          CreateFileW(cartella.wstring().c_str(), FILE_LIST_DIRECTORY,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
      // A folder the system cannot watch (some network shares) is read
      // periodically instead.
      if (cartella_ != INVALID_HANDLE_VALUE && !richiedi()) {
        CloseHandle(cartella_);
        cartella_ = INVALID_HANDLE_VALUE;
      }
    }
    pronto_ = true;
  }

  ~sorvegliante_win32() override {
    if (cartella_ != INVALID_HANDLE_VALUE) {
      CancelIo(cartella_);
      DWORD n = 0;
      GetOverlappedResult(cartella_, &sovrapposto_, &n, TRUE);
      CloseHandle(cartella_);
    }
    SetConsoleCtrlHandler(controllo_console, FALSE);
    evento_fine = nullptr;
    if (fine_ != nullptr) CloseHandle(fine_);
    if (cambio_ != nullptr) CloseHandle(cambio_);
  }

  bool pronto() const { return pronto_; }

  std::string modo() const override {
    return cartella_ != INVALID_HANDLE_VALUE ? "ReadDirectoryChangesW"
                                             : "controllo ogni mezzo secondo";
  }

  evento_sorveglianza attendi(int millisecondi) override {
    using orologio = std::chrono::steady_clock;
    const auto scadenza = orologio::now() + std::chrono::milliseconds(millisecondi);
    const bool sistema = cartella_ != INVALID_HANDLE_VALUE;
    for (;;) {
      if (!sistema) {
        if (std::vector<std::string> c = impronte_.confronta(); !c.empty())
          return {evento_sorveglianza::modifica, std::move(c), {}};
      }
      DWORD attesa = sistema ? INFINITE : impronte_file::intervallo_ms;
      if (millisecondi >= 0) {
        const auto resto =
            std::chrono::duration_cast<std::chrono::milliseconds>(scadenza - orologio::now())
                .count();
        if (resto <= 0) return {};
        attesa = static_cast<DWORD>(std::min<long long>(sistema ? resto : attesa, resto));
      }
      const HANDLE eventi[2] = {fine_, cambio_};
      const DWORD w = WaitForMultipleObjects(sistema ? 2 : 1, eventi, FALSE, attesa);
      if (w == WAIT_OBJECT_0) return {evento_sorveglianza::fine, {}, {}};
      if (w == WAIT_TIMEOUT) continue;
      if (w != WAIT_OBJECT_0 + 1) {
        return {evento_sorveglianza::guasto, {}, errore_sistema("WaitForMultipleObjects")};
      }
      evento_sorveglianza e = leggi_cambi();
      if (e.tipo != evento_sorveglianza::nulla) return e;
    }
  }

 private:
  bool richiedi() {
    ResetEvent(cambio_);
    sovrapposto_ = OVERLAPPED{};
    sovrapposto_.hEvent = cambio_;
    constexpr DWORD filtro = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                             FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_CREATION |
                             FILE_NOTIFY_CHANGE_ATTRIBUTES;
    return ReadDirectoryChangesW(cartella_, buffer_, sizeof buffer_, FALSE, filtro, nullptr,
                                 &sovrapposto_, nullptr) != 0;
  }

  // The names in the finished request; an overflowing one (no record) may
  // have lost a source's change. The next request is made at once.
  evento_sorveglianza leggi_cambi() {
    DWORD n = 0;
    if (!GetOverlappedResult(cartella_, &sovrapposto_, &n, FALSE)) {
      return {evento_sorveglianza::guasto, {}, "la cartella e' stata rimossa o spostata"};
    }
    evento_sorveglianza r;
    if (n == 0) {
      r.tipo = evento_sorveglianza::modifica;
      r.nomi = nomi_;
    }
    for (DWORD i = 0; n > 0 && i + sizeof(FILE_NOTIFY_INFORMATION) <= n;) {
      FILE_NOTIFY_INFORMATION f{};
      std::memcpy(&f, buffer_ + i, sizeof f);
      const auto* nome = reinterpret_cast<const wchar_t*>(
          buffer_ + i + offsetof(FILE_NOTIFY_INFORMATION, FileName));
      const std::wstring w(nome, f.FileNameLength / sizeof(wchar_t));
      for (size_t k = 0; k < larghi_.size(); ++k) {
        // NTFS names differ by case alone only in name.
        if (_wcsicmp(w.c_str(), larghi_[k].c_str()) == 0) {
          r.tipo = evento_sorveglianza::modifica;
          bool presente = false;
          for (const std::string& x : r.nomi) presente = presente || x == nomi_[k];
          if (!presente) r.nomi.push_back(nomi_[k]);
        }
      }
      if (f.NextEntryOffset == 0) break;
      i += f.NextEntryOffset;
    }
    if (!richiedi())
      return {evento_sorveglianza::guasto, {}, errore_sistema("ReadDirectoryChangesW")};
    return r;
  }

  std::vector<std::string> nomi_;
  std::vector<std::wstring> larghi_;
  impronte_file impronte_;
  HANDLE fine_ = nullptr;
  HANDLE cambio_ = nullptr;
  HANDLE cartella_ = INVALID_HANDLE_VALUE;
  OVERLAPPED sovrapposto_{};
  alignas(DWORD) unsigned char buffer_[32768];
  bool pronto_ = false;
};

}  // namespace

std::unique_ptr<sorvegliante> crea_sorvegliante(const std::filesystem::path& cartella,
                                                const std::vector<std::string>& nomi,
                                                bool a_intervalli, std::string& motivo) {
  auto s = std::make_unique<sorvegliante_win32>(cartella, nomi, a_intervalli, motivo);
  if (!s->pronto()) return nullptr;
  return s;
}

}  // namespace scenario
