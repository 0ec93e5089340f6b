// Puts the program's window on the screen the way a run does (painted once,
// then the thread busy elsewhere and deaf to its queue) and keeps it there for
// the given seconds, so the screen can be captured; then, when a text is given,
// shows the error box with it. For looking at the window, never part of a run.
#include <windows.h>

#include <cstdlib>

#include "driver/finestra.h"

int main(int argc, char** argv) {
  const int secondi = argc > 1 ? std::atoi(argv[1]) : 5;
  auto f = scenario::crea_finestra();
  f->mostra_attendere();
  Sleep(static_cast<DWORD>(secondi) * 1000);
  if (argc > 2) f->mostra_errore(argv[2]);
  return 0;
}
