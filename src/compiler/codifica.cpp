#include "compiler/codifica.h"

namespace scenario {

void flusso::put_byte(std::string_view byte) {
  while (!byte.empty()) {
    spazio(1);
    const size_t n = std::min(byte.size(), buffer_.size() - usati_);
    std::memcpy(buffer_.data() + usati_, byte.data(), n);
    usati_ += n;
    byte.remove_prefix(n);
  }
}

bool flusso::svuota() {
  const bool ok = usati_ == 0 || bozza_.scrivi(prossimo_, {buffer_.data(), usati_});
  prossimo_ += usati_;
  usati_ = 0;
  return ok && bozza_.esito().ok;
}

}  // namespace scenario
