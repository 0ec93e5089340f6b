// libFuzzer entry: arbitrary bytes as three compiled files and inspect's
// options (layout in controllo_letture.h), read and dumped and drawn in
// memory; a broken invariant stops the run with the input saved, like a
// crash the sanitizers find.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "controllo_letture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  const std::string rotto = scenario::controlla_letture({reinterpret_cast<const char*>(dati), n});
  if (!rotto.empty()) {
    std::fprintf(stderr, "fuzz_letture: invariant broken: %s\n", rotto.c_str());
    __builtin_trap();
  }
  return 0;
}
