// The two scenario codes (checksums of the identifiers held in rows 85 and 86)
// and the ordering of the three kilometric origins (rows 81 to 83).
#pragma once

#include <cstdint>
#include <string_view>

#include "compiler/stato.h"

namespace scenario {

inline constexpr std::string_view riempitivo_codici = "ppqqrrssttuuvvwwxxyyzzjjkk";

// Plain sum of the first 25 character codes of the key; stores the key in riga.
int32_t codice_gara_og(stato& s);
// Position-weighted sum of the same 25 codes; stores the key in riga.
int32_t codice_gara_st(stato& s);

// Orders rows 81..83 by descending position (or, when the positions sum to 0,
// by the first positive value) and adds 100 to the value of every row flagged 1.
void progressive_ordina(tabella& t);

}  // namespace scenario
