// libFuzzer entry: arbitrary bytes as the two scenario sources (layout in
// controllo_compilazione.h), compiled in memory; a broken invariant stops the
// run with the input saved, like a crash the sanitizers find.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "controllo_compilazione.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  const std::string rotto =
      scenario::controlla_compilazione({reinterpret_cast<const char*>(dati), n});
  if (!rotto.empty()) {
    std::fprintf(stderr, "fuzz_compila: invariant broken: %s\n", rotto.c_str());
    __builtin_trap();
  }
  return 0;
}
