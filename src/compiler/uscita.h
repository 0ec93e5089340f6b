// The three compiled files, written and read back: the plan (tagged values,
// column order), the scenario table (87 rows of 34 + n bytes) and the grid (15
// bytes a cell). Every record goes through its one description in
// compiler/record.h, little-endian whatever the host, through bounded buffers
// into a draft; the images are the same bytes in memory. Layouts: docs/formati.md.
// Each decoder checks the file's structure and returns its first defect, with
// the byte offset where it lies, rather than reading past the end or guessing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/cella.h"
#include "compiler/tabella.h"
#include "sources/disco.h"

namespace scenario {

// A name is written as its bytes, unconverted; one longer than 65535 bytes
// (beyond what the 16-bit length can say) is cut to its first 65535.
bool produci_treno(const tabella& t, bozza& b);
bool produci_griglia(const std::vector<cella>& percorso, bozza& b);

// Empty when the plan was never allocated.
std::string immagine_linea(const tracciato& t);
// The same bytes as immagine_linea, handed to `scrivi` in pieces of about 64 KiB.
bool produci_linea(const tracciato& t, const scrivi_pezzo& scrivi);
std::string immagine_treno(const tabella& t);
std::string immagine_griglia(const std::vector<cella>& percorso);

struct difetto {
  size_t offset = 0;
  std::string messaggio;
};

// The largest file of each kind a compile can write, from the layouts: the
// plan of the longest route (1000000 m and the 7000 spare, a point a metre)
// with every value a double; the table with every name 65535 bytes long; the
// grid of the longest route. The decoders refuse anything larger, and the
// tools before reading it.
int32_t punti_massimi_piano();  // a column: 1007001
uint64_t byte_massimi_piano();
uint64_t byte_massimi_tabella();
uint64_t byte_massimi_griglia();
// A file of `dimensione` bytes where `massimo` is the most its kind can have:
// the defect lies at the first byte past the limit.
difetto troppo_grande(uint64_t dimensione, uint64_t massimo);

// Cells of 15 bytes; the size must be a non-zero multiple of 15.
std::optional<difetto> decodifica_griglia(std::string_view dati, std::vector<cella>& celle);
// Exactly 87 rows of 34 + n bytes, n the name length each row states.
std::optional<difetto> decodifica_tabella(std::string_view dati, tabella& t);
// Tagged values (0 empty, 2 integer, 5 double), an even number of them: the
// first half is the first coordinate of points 0, 1, ..., the second half
// the second coordinate.
std::optional<difetto> decodifica_piano(std::string_view dati, tracciato& t);

}  // namespace scenario
