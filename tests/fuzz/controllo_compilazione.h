// One compile of arbitrary bytes, with every invariant that must hold whatever
// the sources say. Shared by the libFuzzer target and the corpus replay, so a
// regression input checks exactly what the fuzzer checked when it found it.
//
// Input layout (a corpus file):
//   byte 0       the mode: bit 0 set builds the plan (j = 1), clear does not
//                (j = 0); bit 1 set compiles a second time in the same state,
//                which must give the same files. The seeds use '0' to '3'.
//   bytes 1 ..   the line source, up to the first separator "\n@@\n";
//   after it     the train-run source. Without a separator there is no
//                train-run source on the disk at all.
// An empty input checks nothing.
#pragma once

#include <string>
#include <string_view>

namespace scenario {

inline constexpr std::string_view separatore_sorgenti = "\n@@\n";

// Empty when every invariant held; otherwise a description of the first one
// that broke.
std::string controlla_compilazione(std::string_view ingresso);

}  // namespace scenario
