// The real window, loaded from the module the way the program loads it. Needs
// a display (run under xvfb-run); without one, or without the module, it skips.
// Windows has no such module: its window is tested in finestra_win32_test.cpp.
#ifndef _WIN32

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "driver/finestra_modulo.h"

// The system's font library keeps its match results for the life of the
// process; under the leak checker those are not ours to answer for.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

namespace scenario {
namespace {

class FinestraFltk : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
    const auto modulo = std::filesystem::path(SCENARIO_PROGRAMMA).parent_path() / nome_modulo_fltk;
    if (!std::filesystem::exists(modulo)) GTEST_SKIP() << "window module not built";
    // Loaded as the program loads it: never unmapped before the process ends.
    libreria_ = dlopen(modulo.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    ASSERT_NE(libreria_, nullptr) << dlerror();
    auto crea = reinterpret_cast<funzione_crea>(dlsym(libreria_, simbolo_crea));
    descrivi_ = reinterpret_cast<funzione_descrivi>(dlsym(libreria_, simbolo_descrivi));
    prova_errore_ = reinterpret_cast<funzione_prova_errore>(dlsym(libreria_, simbolo_prova_errore));
    ASSERT_NE(crea, nullptr);
    ASSERT_NE(descrivi_, nullptr);
    ASSERT_NE(prova_errore_, nullptr);
    finestra_.reset(crea());
    if (!finestra_) GTEST_SKIP() << "display " << display << " cannot be opened";
  }
  void TearDown() override {
    finestra_.reset();
    if (libreria_ != nullptr) dlclose(libreria_);
  }

  void* libreria_ = nullptr;
  funzione_descrivi descrivi_ = nullptr;
  funzione_prova_errore prova_errore_ = nullptr;
  std::unique_ptr<finestra> finestra_;
};

TEST_F(FinestraFltk, MostraAttendereInUnaFinestraFissaGiaDisegnata) {
  finestra_->mostra_attendere();
  descrizione_finestra d{};
  ASSERT_EQ(descrivi_(finestra_.get(), &d), 1);

  EXPECT_STREQ(d.etichetta, "Attendere");
  EXPECT_STREQ(d.titolo, "Compilazione scenario");
  EXPECT_EQ(d.controlli, 1);
  EXPECT_EQ(d.larghezza, 280);
  EXPECT_EQ(d.altezza, 179);
  EXPECT_EQ(d.larghezza_x, 280);
  EXPECT_EQ(d.altezza_x, 179);
  EXPECT_EQ(d.etichetta_x, 64);
  EXPECT_EQ(d.etichetta_y, 64);
  EXPECT_EQ(d.etichetta_larghezza, 177);
  EXPECT_EQ(d.etichetta_altezza, 53);
  EXPECT_NE(d.grassetto, 0) << d.carattere;
  // The toolkit's face 1 is its bold sans-serif: "Helvetica bold" on core X, "sans bold" with Xft.
  EXPECT_EQ(d.numero_carattere, 1) << d.carattere;
  std::string nome = d.carattere;
  for (char& c : nome) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_TRUE(nome.find("sans") != std::string::npos || nome.find("helvetica") != std::string::npos)
      << nome;
  EXPECT_EQ(d.grandezza, 32);
  // The window manager is asked for one size only: the window cannot be resized.
  EXPECT_EQ(d.minima_x, 280);
  EXPECT_EQ(d.minima_y, 179);
  EXPECT_EQ(d.massima_x, 280);
  EXPECT_EQ(d.massima_y, 179);
  // The work that follows never repaints: the label must already be on the screen.
  EXPECT_NE(d.disegnata, 0);
}

TEST_F(FinestraFltk, IlRiquadroDiErroreHaIlTestoEUnSoloOk) {
  finestra_->mostra_attendere();
  for (const char* testo : {" Errore n. 1250", " Errore n. 1251", " Errore n. 101"}) {
    SCOPED_TRACE(testo);
    descrizione_errore d{};
    ASSERT_EQ(prova_errore_(finestra_.get(), testo, &d), 1);
    EXPECT_STREQ(d.testo, testo);
    EXPECT_EQ(d.pulsanti, 1);
    EXPECT_STREQ(d.pulsante, "OK");
    EXPECT_EQ(d.altri, 0);
    EXPECT_NE(d.modale, 0);
    EXPECT_STREQ(d.titolo, "Compilazione scenario");
  }
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
