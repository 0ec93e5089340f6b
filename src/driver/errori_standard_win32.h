// Standard error of the GUI-subsystem program on Windows, which has no console
// of its own. Kept for the life of main(): a parent that redirected standard
// error (a script, CI, a test) gets the lines there; a program started from a
// console writes to that console; one started from the desktop has neither, so
// its lines are gathered and shown in one box when the run ends. Windows only.
#pragma once

#include <memory>

namespace scenario {

class errori_standard_win32 {
 public:
  errori_standard_win32();
  // Shows the gathered lines, if any, and returns once the box is closed.
  ~errori_standard_win32();
  errori_standard_win32(const errori_standard_win32&) = delete;
  errori_standard_win32& operator=(const errori_standard_win32&) = delete;

  struct raccolta;  // the pipe, its reader thread and what it read

 private:
  std::unique_ptr<raccolta> raccolta_;
};

}  // namespace scenario
