// Picks the window flavour: on Windows the Win32 window; elsewhere the FLTK
// module when a display is there and the module sits beside the program; the
// console when neither can be shown. The module is opened only here, so a
// headless run never maps the toolkit's libraries.
#include "driver/finestra.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "driver/file_programma.h"
#include "driver/finestra_modulo.h"

#ifdef _WIN32
#include "driver/finestra_win32.h"
#elif defined(SCENARIO_CON_FLTK)
#include <dlfcn.h>
#endif

namespace scenario {

namespace {

#if defined(SCENARIO_CON_FLTK) && !defined(_WIN32)

bool variabile_impostata(const char* nome) {
  const char* valore = std::getenv(nome);
  return valore != nullptr && *valore != '\0';
}

// The window made by the module, together with the module itself: the library
// is closed only after the window it made has been destroyed.
class finestra_caricata : public finestra {
 public:
  finestra_caricata(void* modulo, finestra* interna) : modulo_(modulo), interna_(interna) {}
  ~finestra_caricata() override {
    interna_.reset();
    dlclose(modulo_);
  }
  finestra_caricata(const finestra_caricata&) = delete;
  finestra_caricata& operator=(const finestra_caricata&) = delete;

  void mostra_attendere() override { interna_->mostra_attendere(); }
  void mostra_errore(std::string_view testo) override { interna_->mostra_errore(testo); }

 private:
  void* modulo_;
  std::unique_ptr<finestra> interna_;
};

// RTLD_NODELETE: the toolkit and Xlib keep hooks and caches that outlive the
// window (display close hooks, font caches); unmapping them before the process
// ends would leave dangling pointers. The handle is still released in order.
std::unique_ptr<finestra> carica_modulo(const std::filesystem::path& modulo) {
  void* libreria = dlopen(modulo.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (libreria == nullptr) return nullptr;
  auto crea = reinterpret_cast<funzione_crea>(dlsym(libreria, simbolo_crea));
  finestra* f = crea != nullptr ? crea() : nullptr;
  if (f == nullptr) {
    dlclose(libreria);
    return nullptr;
  }
  return std::make_unique<finestra_caricata>(libreria, f);
}

std::unique_ptr<finestra> finestra_grafica() {
  if (!variabile_impostata("DISPLAY") && !variabile_impostata("WAYLAND_DISPLAY")) return nullptr;
  std::filesystem::path cartella;
  if (!cartella_programma(cartella).ok) return nullptr;
  const std::filesystem::path modulo = cartella / nome_modulo_fltk;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(modulo, ec)) return nullptr;
  return carica_modulo(modulo);
}

#elif defined(_WIN32)

std::unique_ptr<finestra> finestra_grafica() { return crea_finestra_win32(); }

#else

std::unique_ptr<finestra> finestra_grafica() { return nullptr; }

#endif

}  // namespace

std::unique_ptr<finestra> crea_finestra() {
  if (auto f = finestra_grafica()) return f;
  return crea_finestra_console();
}

}  // namespace scenario
