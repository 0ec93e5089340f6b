// Standard output as the tools write it: every write and the final flush
// checked, so a full disk, a closed descriptor or a device that refuses bytes
// is a failure with the system's reason, never a success with output lost.
// The first failure is kept; after it nothing more is written.
#pragma once

#include <cstdio>
#include <streambuf>
#include <string>

namespace scenario {

class uscita_standard : public std::streambuf {
 public:
  explicit uscita_standard(std::FILE* flusso = stdout) : flusso_(flusso) {}
  uscita_standard(const uscita_standard&) = delete;
  uscita_standard& operator=(const uscita_standard&) = delete;

  // Flushes what is still buffered; empty when every byte was written,
  // otherwise the system's reason for the first failure.
  std::string chiudi();

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  bool guasto(int numero);

  std::FILE* flusso_;
  int errore_ = 0;
};

}  // namespace scenario
