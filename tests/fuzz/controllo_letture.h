// The readers of compiled files and the tools that use them, run on arbitrary
// bytes with every invariant that must hold whatever the files say. Shared by
// the libFuzzer target fuzz_letture and the corpus replay riproduci_letture,
// so a regression input checks exactly what the fuzzer checked.
//
// Input layout (a corpus file), little-endian:
//   byte 0        options: bit 0 "--all"; bit 1 a km range, from bytes 9-12
//   bytes 1-4     u32: the plan's length
//   bytes 5-8     u32: the table's length
//   bytes 9-10    i16: the range's start, in hundreds of metres
//   bytes 11-12   i16: the range's end, in hundreds of metres
//   from byte 13  the plan's bytes, then the table's, then the grid's (all
//                 that remains); a length past the end takes what there is.
// An input shorter than the 13-byte header checks nothing.
//
// Each file goes through inspect, as text and as JSON: both end alike; a dump
// is valid JSON, or text in valid UTF-8 without a control character but the
// line end; a refusal is one line naming the file at an offset inside it, and
// no dump; whatever decodes encodes back to exactly its bytes. When all three
// decode, draw either refuses them in one line and writes nothing, or writes
// the two pictures, each well-formed XML, with finite numbers only and of a
// bounded size.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scenario {

inline constexpr size_t intestazione_letture = 13;

// The input made of three files and the options (used to write the seeds).
std::string ingresso_letture(std::string_view piano, std::string_view tabella,
                             std::string_view griglia, unsigned char opzioni = 0,
                             int16_t da_ettometri = 0, int16_t a_ettometri = 0);

// Empty when every invariant held; otherwise a description of the first one
// that broke.
std::string controlla_letture(std::string_view ingresso);

}  // namespace scenario
