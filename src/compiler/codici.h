// The two scenario codes (checksums of the identifiers held in rows 85 and 86)
// and the ordering of the three kilometric origins (rows 81 to 83). Pure
// computations on the table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/tabella.h"

namespace scenario {

inline constexpr std::string_view riempitivo_codici = "ppqqrrssttuuvvwwxxyyzzjjkk";
// Only the first characters of the key count.
inline constexpr int caratteri_codice = 25;

// lower-case(row 86 nome + row 85 nome) + the filler; only A-Z are lowered.
std::string chiave_codici(const tabella& t);

// Plain sum of the first 25 character codes (0..255) of the key. Between 0
// and 6375.
int32_t codice_gara_og(const tabella& t);
// Sum of each of those codes times its position 1..25. Between 0 and 82875.
int32_t codice_gara_st(const tabella& t);

// Orders rows 81..83 by descending position (or, when the positions sum to 0,
// by the first positive value) and adds 100 to the value of every row flagged
// 1. Only inizio, fine and posizione move. Two entries sharing the largest
// position are ordered like the lower two: equal positions, higher row first.
// False when the sum of the positions, taken left to right in 32 bits, or a
// flagged value would pass the 32-bit range (the rows are then left unordered,
// or that row unadjusted): a run-time failure for the parser to report.
bool progressive_ordina(tabella& t);

}  // namespace scenario
