// Every number the error register can hold, with a one-line meaning in the
// program's language (for the report after a compile that recorded an error).
#pragma once

#include <cstdint>
#include <string_view>

namespace scenario {

// An empty view for a number the compiler never records.
std::string_view descrizione_errore(int32_t codice);

}  // namespace scenario
