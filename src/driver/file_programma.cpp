#include "driver/file_programma.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace scenario {

namespace {

std::string testo(const std::filesystem::path& p) { return p.string(); }

// The system's words for an errno value; a call that failed without setting
// errno still gets a reason rather than "Success".
std::string motivo(int numero) {
  if (numero == 0) return "errore di ingresso/uscita";
  return std::strerror(numero);
}

esito_io fallito(const std::filesystem::path& p, int numero) {
  return esito_io::fallito(testo(p), motivo(numero));
}

std::FILE* apri(const std::filesystem::path& p, bool scrittura) {
#ifdef _WIN32
  return _wfopen(p.c_str(), scrittura ? L"wb" : L"rb");
#else
  return std::fopen(p.c_str(), scrittura ? "wb" : "rb");
#endif
}

// Removes a plain file only: a directory standing at the name is never ours.
int rimuovi_file(const std::filesystem::path& p) {
#ifdef _WIN32
  return _wremove(p.c_str());
#else
  return ::unlink(p.c_str());
#endif
}

// Writes the producer's bytes to a fresh temporary and closes it; returns 0 or
// the errno of the first failure. A failed temporary is removed.
int scrivi_temporaneo(const std::filesystem::path& temporaneo, const produttore& contenuto) {
  errno = 0;
  std::FILE* f = apri(temporaneo, true);
  if (f == nullptr) return errno != 0 ? errno : EIO;
  int errore = 0;
  contenuto([&](std::string_view pezzo) {
    errno = 0;
    if (std::fwrite(pezzo.data(), 1, pezzo.size(), f) == pezzo.size()) return true;
    errore = errno != 0 ? errno : EIO;
    return false;
  });
  errno = 0;
  if (std::fclose(f) != 0 && errore == 0) errore = errno != 0 ? errno : EIO;
  if (errore != 0) rimuovi_file(temporaneo);
  return errore;
}

// Puts a written temporary in its target's place in one rename.
esito_io metti_al_posto(const std::filesystem::path& temporaneo,
                        const std::filesystem::path& destinazione) {
  std::error_code ec;
  std::filesystem::rename(temporaneo, destinazione, ec);
  if (!ec) return esito_io::riuscito();
  rimuovi_file(temporaneo);
  return esito_io::fallito(testo(destinazione), ec.message());
}

// A temporary opened for writing and reading at any offset, with no stdio
// buffer of its own (the writers above it have theirs). The first failure is
// kept; removed unless put in place.
class bozza_file : public bozza {
 public:
  explicit bozza_file(std::filesystem::path destinazione)
      : destinazione_(std::move(destinazione)), temporaneo_(file_temporaneo(destinazione_)) {
    errno = 0;
#ifdef _WIN32
    f_ = _wfopen(temporaneo_.c_str(), L"w+b");
#else
    f_ = std::fopen(temporaneo_.c_str(), "w+b");
#endif
    if (f_ == nullptr) {
      guasto(errno);
      return;
    }
    std::setvbuf(f_, nullptr, _IONBF, 0);
  }
  bozza_file(const bozza_file&) = delete;
  bozza_file& operator=(const bozza_file&) = delete;
  ~bozza_file() override {
    if (f_ != nullptr) std::fclose(f_);
    if (!al_posto_) rimuovi_file(temporaneo_);
  }

  bool scrivi(uint64_t offset, std::string_view byte) override {
    if (!vai(offset)) return false;
    if (std::fwrite(byte.data(), 1, byte.size(), f_) == byte.size()) return true;
    return guasto(errno);
  }
  bool leggi(uint64_t offset, std::span<char> byte) override {
    if (!vai(offset)) return false;
    if (std::fread(byte.data(), 1, byte.size(), f_) == byte.size()) return true;
    return guasto(std::ferror(f_) ? errno : EIO);
  }
  bool tronca(uint64_t dimensione) override {
    if (errore_ != 0) return false;
    errno = 0;
#ifdef _WIN32
    const int r = _chsize_s(_fileno(f_), static_cast<long long>(dimensione));
#else
    const int r = ::ftruncate(fileno(f_), static_cast<off_t>(dimensione));
#endif
    return r == 0 || guasto(errno);
  }
  esito_io esito() const override {
    return errore_ == 0 ? esito_io::riuscito() : fallito(temporaneo_, errore_);
  }

  // Closes the temporary: its bytes are all written. Then the rename.
  esito_io chiudi() {
    if (f_ != nullptr) {
      errno = 0;
      if (std::fclose(f_) != 0) guasto(errno);
      f_ = nullptr;
    }
    return esito();
  }
  esito_io metti_al_posto() {
    al_posto_ = true;
    return scenario::metti_al_posto(temporaneo_, destinazione_);
  }

 private:
  bool vai(uint64_t offset) {
    if (errore_ != 0) return false;
    errno = 0;
#ifdef _WIN32
    const int r = _fseeki64(f_, static_cast<long long>(offset), SEEK_SET);
#else
    const int r = fseeko(f_, static_cast<off_t>(offset), SEEK_SET);
#endif
    return r == 0 || guasto(errno);
  }
  bool guasto(int numero) {
    if (errore_ == 0) errore_ = numero != 0 ? numero : EIO;
    return false;
  }

  std::filesystem::path destinazione_;
  std::filesystem::path temporaneo_;
  std::FILE* f_ = nullptr;
  int errore_ = 0;
  bool al_posto_ = false;
};

}  // namespace

esito_io cartella_programma(std::filesystem::path& cartella) {
#ifdef _WIN32
  std::wstring nome(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
    if (n == 0)
      return esito_io::fallito("GetModuleFileNameW",
                               std::system_category().message(GetLastError()));
    if (n < nome.size()) {
      nome.resize(n);
      break;
    }
    nome.resize(nome.size() * 2);
  }
  cartella = std::filesystem::path(nome).parent_path();
#else
  const std::filesystem::path collegamento = "/proc/self/exe";
  std::error_code ec;
  std::filesystem::path eseguibile = std::filesystem::read_symlink(collegamento, ec);
  if (ec) return esito_io::fallito(testo(collegamento), ec.message());
  cartella = eseguibile.parent_path();
#endif
  return esito_io::riuscito();
}

std::filesystem::path file_temporaneo(const std::filesystem::path& destinazione) {
  std::filesystem::path t = destinazione;
  t += ".nuovo";
  return t;
}

bool disco_reale::esiste(const std::string& nome) {
  std::error_code ec;
  return std::filesystem::is_regular_file(percorso(nome), ec);
}

esito_io disco_reale::leggi(const std::string& nome, std::string& contenuto) {
  const std::filesystem::path p = percorso(nome);
  errno = 0;
  std::FILE* f = apri(p, false);
  if (f == nullptr) return fallito(p, errno);
  std::string letto;
  char blocco[65536];
  size_t n = 0;
  errno = 0;
  while ((n = std::fread(blocco, 1, sizeof blocco, f)) > 0) letto.append(blocco, n);
  // A directory opens on some systems and fails only on the first read.
  int errore = std::ferror(f) ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(f);
  if (errore != 0) return fallito(p, errore);
  contenuto = std::move(letto);
  return esito_io::riuscito();
}

// The new bytes go to a temporary beside the target, which then takes the
// target's place in one rename: a failure or a kill at any point leaves the
// previous file whole, and a temporary left behind is truncated by the next run.
esito_io disco_reale::sostituisci(const std::string& nome, std::string_view contenuto) {
  return sostituisci_a_pezzi(nome,
                             [contenuto](const scrivi_pezzo& scrivi) { return scrivi(contenuto); });
}

esito_io disco_reale::sostituisci_a_pezzi(const std::string& nome, const produttore& contenuto) {
  const std::filesystem::path destinazione = percorso(nome);
  const std::filesystem::path temporaneo = file_temporaneo(destinazione);
  if (int errore = scrivi_temporaneo(temporaneo, contenuto); errore != 0) {
    return fallito(temporaneo, errore);
  }
  return scenario::metti_al_posto(temporaneo, destinazione);
}

esito_io disco_reale::sostituisci_insieme(const std::vector<file_nuovo>& file) {
  std::vector<std::filesystem::path> temporanei;
  for (const file_nuovo& f : file) {
    const std::filesystem::path temporaneo = file_temporaneo(percorso(f.nome));
    if (int errore = scrivi_temporaneo(temporaneo, f.contenuto); errore != 0) {
      for (const auto& t : temporanei) rimuovi_file(t);
      return fallito(temporaneo, errore);
    }
    temporanei.push_back(temporaneo);
  }
  for (size_t i = 0; i < file.size(); ++i) {
    if (esito_io e = scenario::metti_al_posto(temporanei[i], percorso(file[i].nome)); !e.ok) {
      for (size_t j = i + 1; j < file.size(); ++j) rimuovi_file(temporanei[j]);
      return e;
    }
  }
  return esito_io::riuscito();
}

std::unique_ptr<bozza> disco_reale::apri_bozza(const std::string& nome) {
  return std::make_unique<bozza_file>(percorso(nome));
}

esito_io disco_reale::metti_al_posto(std::vector<std::unique_ptr<bozza>>& bozze) {
  std::vector<bozza_file*> file;
  for (const auto& b : bozze) {
    auto* f = dynamic_cast<bozza_file*>(b.get());
    if (f == nullptr) return esito_io::fallito("", "bozza di un altro disco");
    if (esito_io e = f->chiudi(); !e.ok) return e;
    file.push_back(f);
  }
  for (bozza_file* f : file) {
    if (esito_io e = f->metti_al_posto(); !e.ok) return e;
  }
  return esito_io::riuscito();
}

esito_io disco_reale::elimina(const std::string& nome) {
  const std::filesystem::path p = percorso(nome);
  errno = 0;
  if (rimuovi_file(p) == 0 || errno == ENOENT) return esito_io::riuscito();
  return fallito(p, errno);
}

}  // namespace scenario
