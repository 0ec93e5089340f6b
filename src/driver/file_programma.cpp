#include "driver/file_programma.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
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

// DESTINAZIONE.XXXXXXXX.coda, with eight fresh random characters.
std::filesystem::path nome_fresco(const std::filesystem::path& destinazione, const char* coda) {
  static constexpr char cifre[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::random_device caso;
  std::string parte(8, '0');
  for (char& c : parte) c = cifre[caso() % 36];
  std::filesystem::path p = destinazione;
  p += "." + parte + coda;
  return p;
}

struct temporaneo_creato {
  int fd = -1;
  std::filesystem::path percorso;
  int errore = 0;
};

// A new file of our own beside `destinazione`, under a name nobody else
// holds: created exclusively, never through a link, so neither a planted
// symlink nor a FIFO is ever opened. Another file at a drawn name means only
// a new draw.
temporaneo_creato crea_esclusivo(const std::filesystem::path& destinazione, const char* coda) {
  temporaneo_creato t;
  for (int tentativo = 0; tentativo < 64; ++tentativo) {
    t.percorso = nome_fresco(destinazione, coda);
    errno = 0;
#ifdef _WIN32
    // _O_EXCL with _O_CREAT is CREATE_NEW: an existing name, link or not, fails.
    t.errore = _wsopen_s(&t.fd, t.percorso.c_str(),
                         _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                         _S_IREAD | _S_IWRITE);
    if (t.errore == 0) return t;
#else
    t.fd = ::open(t.percorso.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (t.fd >= 0) {
      t.errore = 0;
      return t;
    }
    t.errore = errno != 0 ? errno : EIO;
#endif
    t.fd = -1;
    if (t.errore != EEXIST) return t;
  }
  return t;
}

std::FILE* apri_descrittore(int fd) {
#ifdef _WIN32
  return _fdopen(fd, "w+b");
#else
  return ::fdopen(fd, "w+b");
#endif
}

void chiudi_descrittore(int fd) {
#ifdef _WIN32
  _close(fd);
#else
  ::close(fd);
#endif
}

// A target is a plain file, a link to one, or nothing (a dangling link is
// replaced, never followed). Anything else is refused before a byte is
// written: a FIFO, a device or a directory is no output.
esito_io controlla_destinazione(const std::filesystem::path& destinazione) {
  std::error_code ec;
  const auto proprio = std::filesystem::symlink_status(destinazione, ec);
  if (ec && ec != std::errc::no_such_file_or_directory)
    return esito_io::fallito(testo(destinazione), ec.message());
  if (!std::filesystem::exists(proprio)) return esito_io::riuscito();
  const auto puntato = std::filesystem::status(destinazione, ec);
  if (std::filesystem::is_regular_file(puntato) || !std::filesystem::exists(puntato))
    return esito_io::riuscito();
  return esito_io::fallito(testo(destinazione), "non e' un file regolare");
}

struct scritto {
  std::filesystem::path temporaneo;
  esito_io esito;
};

// Writes the producer's bytes to a fresh temporary and closes it. A failed
// temporary is removed.
scritto scrivi_temporaneo(const std::filesystem::path& destinazione, const produttore& contenuto,
                          osservatore_temporanei* osservatore) {
  if (esito_io e = controlla_destinazione(destinazione); !e.ok) return {{}, e};
  temporaneo_creato t = crea_esclusivo(destinazione, ".nuovo");
  if (t.fd < 0) return {{}, fallito(t.percorso, t.errore)};
  if (osservatore != nullptr) osservatore->creato(t.percorso, t.fd);
  errno = 0;
  std::FILE* f = apri_descrittore(t.fd);
  if (f == nullptr) {
    const int errore = errno != 0 ? errno : EIO;
    chiudi_descrittore(t.fd);
    rimuovi_file(t.percorso);
    return {{}, fallito(t.percorso, errore)};
  }
  int errore = 0;
  contenuto([&](std::string_view pezzo) {
    errno = 0;
    if (std::fwrite(pezzo.data(), 1, pezzo.size(), f) == pezzo.size()) return true;
    errore = errno != 0 ? errno : EIO;
    return false;
  });
  errno = 0;
  if (std::fclose(f) != 0 && errore == 0) errore = errno != 0 ? errno : EIO;
  if (errore != 0) {
    rimuovi_file(t.percorso);
    return {{}, fallito(t.percorso, errore)};
  }
  return {t.percorso, esito_io::riuscito()};
}

// One rename; the system's reason on failure.
std::error_code rinomina(const std::filesystem::path& da, const std::filesystem::path& a) {
  std::error_code ec;
  std::filesystem::rename(da, a, ec);
  return ec;
}

struct sostituzione {
  std::filesystem::path temporaneo;
  std::filesystem::path destinazione;
  std::filesystem::path vecchio;  // the earlier file, kept aside; empty when there was none
  bool al_posto = false;
};

// The earlier file of a target kept under a fresh name until its set is in
// place: a second link to it where the system has links (the target's name
// never goes missing, even for a moment), else the file itself moved aside.
esito_io tieni_da_parte(sostituzione& s) {
  for (int tentativo = 0; tentativo < 64; ++tentativo) {
    const std::filesystem::path v = nome_fresco(s.destinazione, ".vecchio");
    std::error_code ec;
    std::filesystem::create_hard_link(s.destinazione, v, ec);
    if (!ec) {
      s.vecchio = v;
      return esito_io::riuscito();
    }
    if (ec == std::errc::file_exists) continue;
    // No links here: an empty file of ours reserves the name, then the
    // earlier file takes it over.
    temporaneo_creato riserva = crea_esclusivo(s.destinazione, ".vecchio");
    if (riserva.fd < 0) return fallito(riserva.percorso, riserva.errore);
    chiudi_descrittore(riserva.fd);
    if ((ec = rinomina(s.destinazione, riserva.percorso))) {
      rimuovi_file(riserva.percorso);
      return esito_io::fallito(testo(s.destinazione), ec.message());
    }
    s.vecchio = riserva.percorso;
    return esito_io::riuscito();
  }
  return fallito(s.destinazione, EEXIST);
}

std::string elenco(const std::vector<std::string>& nomi) {
  std::string r;
  for (const std::string& n : nomi) r += (r.empty() ? "" : ", ") + n;
  return r.empty() ? "nessuno" : r;
}

// Puts written temporaries in their targets' places, all or none: every
// target is checked first; each earlier file is moved aside under a fresh
// name before its new one comes in, and only when every new file is in place
// are the earlier ones deleted. When a rename fails, the new files already in
// place are taken out and the earlier ones put back; when even that fails the
// message says which files are new, which are the earlier ones and where the
// earlier ones were kept.
esito_io sostituisci_gruppo(std::vector<sostituzione>& gruppo,
                            osservatore_temporanei* osservatore) {
  auto via_i_temporanei = [&] {
    for (const sostituzione& s : gruppo)
      if (!s.al_posto) rimuovi_file(s.temporaneo);
  };
  for (const sostituzione& s : gruppo) {
    if (esito_io e = controlla_destinazione(s.destinazione); !e.ok) {
      via_i_temporanei();
      return e;
    }
  }
  esito_io guasto;
  for (sostituzione& s : gruppo) {
    if (osservatore != nullptr) osservatore->prima_di_sostituire(s.destinazione);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(s.destinazione, ec))) {
      if (esito_io e = tieni_da_parte(s); !e.ok) {
        guasto = e;
        break;
      }
    }
    if ((ec = rinomina(s.temporaneo, s.destinazione))) {
      guasto = esito_io::fallito(testo(s.destinazione), ec.message());
      break;
    }
    s.al_posto = true;
  }
  if (guasto.ok) {
    for (const sostituzione& s : gruppo)
      if (!s.vecchio.empty()) rimuovi_file(s.vecchio);
    return guasto;
  }
  via_i_temporanei();
  // Back as it was: each new file out, each earlier one in again.
  std::vector<std::string> nuovi, tenuti;
  for (sostituzione& s : gruppo) {
    if (!s.vecchio.empty()) {
      std::error_code ec;
      // A second link whose target was never replaced: the target is the
      // earlier file still.
      if (!s.al_posto && std::filesystem::equivalent(s.vecchio, s.destinazione, ec)) {
        rimuovi_file(s.vecchio);
        continue;
      }
      if (!rinomina(s.vecchio, s.destinazione)) continue;
      if (s.al_posto) nuovi.push_back(testo(s.destinazione));
      tenuti.push_back(testo(s.vecchio));
    } else if (s.al_posto && rimuovi_file(s.destinazione) != 0) {
      nuovi.push_back(testo(s.destinazione));
    }
  }
  if (nuovi.empty() && tenuti.empty()) return guasto;
  guasto.motivo += "; l'insieme non si e' potuto rimettere com'era: sono nuovi " + elenco(nuovi) +
                   ", i precedenti sono tenuti in " + elenco(tenuti) +
                   ", ogni altro file e' quello di prima";
  return guasto;
}

// A temporary opened for writing and reading at any offset, with no stdio
// buffer of its own (the writers above it have theirs). The first failure is
// kept; removed unless put in place.
class bozza_file : public bozza {
 public:
  bozza_file(std::filesystem::path destinazione, osservatore_temporanei* osservatore)
      : destinazione_(std::move(destinazione)) {
    if (esito_io e = controlla_destinazione(destinazione_); !e.ok) {
      rifiuto_ = e;
      return;
    }
    temporaneo_creato t = crea_esclusivo(destinazione_, ".nuovo");
    temporaneo_ = t.percorso;
    if (t.fd < 0) {
      guasto(t.errore);
      return;
    }
    creato_ = true;
    if (osservatore != nullptr) osservatore->creato(t.percorso, t.fd);
    errno = 0;
    f_ = apri_descrittore(t.fd);
    if (f_ == nullptr) {
      guasto(errno);
      chiudi_descrittore(t.fd);
      return;
    }
    std::setvbuf(f_, nullptr, _IONBF, 0);
  }
  bozza_file(const bozza_file&) = delete;
  bozza_file& operator=(const bozza_file&) = delete;
  ~bozza_file() override {
    if (f_ != nullptr) std::fclose(f_);
    if (creato_ && !al_posto_) rimuovi_file(temporaneo_);
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
    if (errore_ != 0 || !rifiuto_.ok) return false;
    errno = 0;
#ifdef _WIN32
    const int r = _chsize_s(_fileno(f_), static_cast<long long>(dimensione));
#else
    const int r = ::ftruncate(fileno(f_), static_cast<off_t>(dimensione));
#endif
    return r == 0 || guasto(errno);
  }
  esito_io esito() const override {
    if (!rifiuto_.ok) return rifiuto_;
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
  // Handed to the replacement of its set, which owns the temporary now.
  sostituzione consegna() {
    al_posto_ = true;
    return {temporaneo_, destinazione_, {}, false};
  }

 private:
  bool vai(uint64_t offset) {
    if (errore_ != 0 || !rifiuto_.ok) return false;
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
  esito_io rifiuto_;  // the target is no plain file: nothing was created
  bool creato_ = false;
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

bool temporaneo_di(const std::filesystem::path& file, const std::filesystem::path& destinazione) {
  const std::string f = file.string();
  const std::string d = destinazione.string() + ".";
  if (f.size() < d.size() || f.compare(0, d.size(), d) != 0) return false;
  const std::string resto = f.substr(d.size());
  return (resto.size() == 8 + 6 && resto.compare(8, 6, ".nuovo") == 0) ||
         (resto.size() == 8 + 8 && resto.compare(8, 8, ".vecchio") == 0);
}

void togli_rimasugli(const std::filesystem::path& cartella, const std::vector<std::string>& nomi) {
  std::error_code ec;
  std::vector<std::filesystem::path> trovati;
  for (std::filesystem::directory_iterator it(cartella, ec), fine; !ec && it != fine;
       it.increment(ec)) {
    if (it->is_regular_file(ec) && !it->is_symlink(ec)) trovati.push_back(it->path());
  }
  for (const std::filesystem::path& t : trovati) {
    for (const std::string& nome : nomi) {
      const std::filesystem::path destinazione = cartella / nome;
      if (!temporaneo_di(t, destinazione)) continue;
      const bool orfano =
          t.extension() == ".vecchio" &&
          !std::filesystem::exists(std::filesystem::symlink_status(destinazione, ec));
      if (!orfano || rinomina(t, destinazione)) rimuovi_file(t);
    }
  }
}

bool disco_reale::esiste(const std::string& nome) {
  std::error_code ec;
  return std::filesystem::is_regular_file(percorso(nome), ec);
}

esito_io disco_reale::leggi(const std::string& nome, std::string& contenuto) {
  return leggi_entro(nome, contenuto, UINT64_MAX);
}

esito_io disco_reale::leggi_entro(const std::string& nome, std::string& contenuto,
                                  uint64_t massimo) {
  const std::filesystem::path p = percorso(nome);
  errno = 0;
  std::FILE* f = apri(p, false);
  if (f == nullptr) return fallito(p, errno);
  struct chiusura {
    std::FILE* f;
    ~chiusura() { std::fclose(f); }
  } chiudi{f};
  // The size the open file states (0 where it states none, as a device).
#ifdef _WIN32
  struct _stat64 st {};
  const bool misurato = _fstat64(_fileno(f), &st) == 0;
#else
  struct stat st {};
  const bool misurato = fstat(fileno(f), &st) == 0;
#endif
  const uint64_t annunciati = misurato && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  if (annunciati > massimo) return esito_io::troppo_grande(testo(p), annunciati, massimo);
  std::string letto;
  letto.reserve(static_cast<size_t>(annunciati));
  char blocco[65536];
  size_t n = 0;
  errno = 0;
  while ((n = std::fread(blocco, 1, sizeof blocco, f)) > 0) {
    // Grown since it was measured: still never more than the limit held.
    if (n > massimo - letto.size())
      return esito_io::troppo_grande(testo(p), letto.size() + n, massimo);
    letto.append(blocco, n);
  }
  // A directory opens on some systems and fails only on the first read.
  if (std::ferror(f)) return fallito(p, errno != 0 ? errno : EIO);
  contenuto = std::move(letto);
  return esito_io::riuscito();
}

// The new bytes go to a temporary beside the target, which then takes the
// target's place in one rename: a failure or a kill at any point leaves the
// previous file whole.
esito_io disco_reale::sostituisci(const std::string& nome, std::string_view contenuto) {
  return sostituisci_a_pezzi(nome,
                             [contenuto](const scrivi_pezzo& scrivi) { return scrivi(contenuto); });
}

esito_io disco_reale::sostituisci_a_pezzi(const std::string& nome, const produttore& contenuto) {
  return sostituisci_insieme({{nome, contenuto}});
}

esito_io disco_reale::sostituisci_insieme(const std::vector<file_nuovo>& file) {
  std::vector<sostituzione> gruppo;
  for (const file_nuovo& f : file) {
    const std::filesystem::path destinazione = percorso(f.nome);
    scritto s = scrivi_temporaneo(destinazione, f.contenuto, osservatore_);
    if (!s.esito.ok) {
      for (const sostituzione& g : gruppo) rimuovi_file(g.temporaneo);
      return s.esito;
    }
    gruppo.push_back({s.temporaneo, destinazione, {}, false});
  }
  return sostituisci_gruppo(gruppo, osservatore_);
}

std::unique_ptr<bozza> disco_reale::apri_bozza(const std::string& nome) {
  return std::make_unique<bozza_file>(percorso(nome), osservatore_);
}

esito_io disco_reale::metti_al_posto(std::vector<std::unique_ptr<bozza>>& bozze) {
  std::vector<bozza_file*> file;
  for (const auto& b : bozze) {
    auto* f = dynamic_cast<bozza_file*>(b.get());
    if (f == nullptr) return esito_io::fallito("", "bozza di un altro disco");
    if (esito_io e = f->chiudi(); !e.ok) return e;
    file.push_back(f);
  }
  std::vector<sostituzione> gruppo;
  for (bozza_file* f : file) gruppo.push_back(f->consegna());
  return sostituisci_gruppo(gruppo, osservatore_);
}

esito_io disco_reale::elimina(const std::string& nome) {
  const std::filesystem::path p = percorso(nome);
  errno = 0;
  if (rimuovi_file(p) == 0 || errno == ENOENT) return esito_io::riuscito();
  return fallito(p, errno);
}

}  // namespace scenario
