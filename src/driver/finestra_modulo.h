// The entry points of the window module compila_scenario_fltk.so, loaded
// beside the program only when a display is present. The factory returns null
// when no display can be opened. The two descriptions read back the live
// widgets, so a test can check the real window without a person at the screen.
#pragma once

#include "driver/finestra.h"

namespace scenario {

inline constexpr const char* nome_modulo_fltk = "compila_scenario_fltk.so";
inline constexpr const char* simbolo_crea = "compila_scenario_fltk_crea";
inline constexpr const char* simbolo_descrivi = "compila_scenario_fltk_descrivi";
inline constexpr const char* simbolo_prova_errore = "compila_scenario_fltk_prova_errore";

// The "Attendere" window as the toolkit and the X server see it.
struct descrizione_finestra {
  char titolo[64];
  char etichetta[32];
  char carattere[64];    // the toolkit's name of the label's face
  int numero_carattere;  // the toolkit's number of that face
  int grassetto;         // non-zero when that face is bold
  int grandezza;         // label size in pixels
  int etichetta_x, etichetta_y, etichetta_larghezza, etichetta_altezza;
  int larghezza, altezza;                        // the window's client area as laid out
  int larghezza_x, altezza_x;                    // the same, as mapped by the X server
  int minima_x, minima_y, massima_x, massima_y;  // the size range asked of the window manager
  int controlli;                                 // widgets inside the window
  int disegnata;                                 // non-zero once the label has been painted
};

// The error box while it is on the screen.
struct descrizione_errore {
  char titolo[64];
  char testo[256];
  char pulsante[16];
  int pulsanti;  // buttons in the box
  int altri;     // widgets that are neither the text nor a button (an icon)
  int modale;
};

using funzione_crea = finestra* (*)();
using funzione_descrivi = int (*)(finestra*, descrizione_finestra*);
// Shows the real error box, reads it while it is up, then presses its button.
using funzione_prova_errore = int (*)(finestra*, const char*, descrizione_errore*);

}  // namespace scenario
