// The one fatal-error report the user ever sees: " Errore n. " and the number,
// shown through the window's message box. Returns the exit status the run then
// ends with; the caller returns it at once, so no later step runs.
#pragma once

#include <string>
#include <string_view>

#include "driver/finestra.h"

namespace scenario {

inline constexpr std::string_view prefisso_errore = " Errore n. ";

std::string testo_errore(std::string_view a);
int errore(finestra& f, std::string_view a);

}  // namespace scenario
