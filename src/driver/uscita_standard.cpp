#include "driver/uscita_standard.h"

#include <cerrno>
#include <cstring>

namespace scenario {

// The stream's own buffer (stdio's) gathers the pieces; a failure surfaces at
// the write that finds the buffer full, or at the flush.
bool uscita_standard::guasto(int numero) {
  // A call that failed without setting errno still gets a reason.
  if (errore_ == 0) errore_ = numero != 0 ? numero : EIO;
  return false;
}

std::streambuf::int_type uscita_standard::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize uscita_standard::xsputn(const char* s, std::streamsize n) {
  if (errore_ != 0) return 0;
  errno = 0;
  const size_t scritti = std::fwrite(s, 1, static_cast<size_t>(n), flusso_);
  if (scritti != static_cast<size_t>(n)) guasto(errno);
  return static_cast<std::streamsize>(scritti);
}

int uscita_standard::sync() {
  if (errore_ != 0) return -1;
  errno = 0;
  if (std::fflush(flusso_) == 0) return 0;
  guasto(errno);
  return -1;
}

std::string uscita_standard::chiudi() {
  sync();
  // An error stdio met on its own (a flush at a full buffer) counts too.
  if (errore_ == 0 && std::ferror(flusso_)) guasto(EIO);
  return errore_ == 0 ? std::string() : std::string(std::strerror(errore_));
}

}  // namespace scenario
