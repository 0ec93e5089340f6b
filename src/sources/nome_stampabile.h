// File names (and the lines that carry them) as the program shows them. A
// name is bytes chosen by whoever made the file: shown raw, a control byte
// could move the cursor, clear the terminal or forge a line of output, and a
// byte outside UTF-8 breaks the text (and JSON) around it. Valid UTF-8 stands
// as it is; every control character (C0, DEL, C1) and every byte that is not
// part of a valid UTF-8 sequence is written \xNN, one escape a byte. A
// backslash stands as it is (it separates Windows paths).
#pragma once

#include <string>
#include <string_view>

#include "sources/disco.h"

namespace scenario {

std::string nome_stampabile(std::string_view testo);

// The same as a JSON string, quotes included: a control character as
// \u00NN (exactly that character), a byte outside UTF-8 as the text \xNN.
std::string nome_json(std::string_view testo);

// "compila_scenario: FILE: MOTIVO" for a failed operation, without the line
// end, both parts made printable.
std::string riga_guasto(const esito_io& e);

}  // namespace scenario
