#include <cstdio>
#include <string>

#include "driver/finestra.h"

namespace scenario {

namespace {

// No display: the word and the error text go to standard error.
class finestra_console : public finestra {
 public:
  void mostra_attendere() override { std::fputs("Attendere\n", stderr); }
  void mostra_errore(std::string_view testo) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(testo.size()), testo.data());
  }
};

}  // namespace

std::unique_ptr<finestra> crea_finestra_console() { return std::make_unique<finestra_console>(); }

}  // namespace scenario
