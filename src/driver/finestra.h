// The window and the message box, behind one small interface so the run can be
// driven without a display. Flavours: the console (stderr), the FLTK window
// (a module loaded only when a display is present) and the Win32 window.
#pragma once

#include <memory>
#include <string_view>

namespace scenario {

class finestra {
 public:
  virtual ~finestra() = default;
  // Shows the "Attendere" window and paints it once, before the work starts.
  virtual void mostra_attendere() = 0;
  // A modal box with one OK button; returns when the user has closed it.
  virtual void mostra_errore(std::string_view testo) = 0;
};

// Writes "Attendere" and the error text on standard error.
std::unique_ptr<finestra> crea_finestra_console();
// The real window when one can be shown, else the console.
std::unique_ptr<finestra> crea_finestra();

}  // namespace scenario
