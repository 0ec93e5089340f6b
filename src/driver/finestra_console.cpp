// The flavour for a run without a display: the word "Attendere" and the error
// box's text each become one line on standard error, the text exactly as the
// box would show it. Nothing waits for a person: the box "closes" at once.
#include <cstdio>
#include <string>

#include "driver/finestra.h"

namespace scenario {

namespace {

class finestra_console : public finestra {
 public:
  void mostra_attendere() override {
    std::fputs("Attendere\n", stderr);
    std::fflush(stderr);
  }
  void mostra_errore(std::string_view testo) override {
    std::fwrite(testo.data(), 1, testo.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
  }
};

}  // namespace

std::unique_ptr<finestra> crea_finestra_console() { return std::make_unique<finestra_console>(); }

}  // namespace scenario
