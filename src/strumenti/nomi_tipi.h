// The names of the grid's type codes in the program's language, for the
// reports and dumps of the authors' tools.
#pragma once

#include <cstdint>
#include <string_view>

namespace scenario {

// "sconosciuto" for a code the compiler never writes (7, 8, 9, 15 and up).
std::string_view nome_tipo_cella(uint8_t tipo);

}  // namespace scenario
