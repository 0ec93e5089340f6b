// The disk as the scenario code sees it: whole files by name, relative to the
// program's directory. The real disk (driver) and an in-memory disk (tests,
// fuzzer, library use) implement it, so compiling never has to touch a file.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Outcome of one file operation. A failure carries the file and the system's
// reason to the one place that reports it.
struct esito_io {
  bool ok = true;
  std::string file;
  std::string motivo;
  // A read refused because the file holds more bytes than allowed: its size.
  std::optional<uint64_t> dimensione_rifiutata;

  static esito_io riuscito() { return {}; }
  static esito_io fallito(std::string file, std::string motivo) {
    return {false, std::move(file), std::move(motivo), std::nullopt};
  }
  static esito_io troppo_grande(std::string file, uint64_t dimensione, uint64_t massimo) {
    return {false, std::move(file),
            "file di " + std::to_string(dimensione) + " byte, oltre il massimo di " +
                std::to_string(massimo),
            dimensione};
  }
};

// A file's bytes produced in order, piece by piece, through `scrivi`. A false
// from `scrivi` (the disk failed) stops the producer, which returns false too.
using scrivi_pezzo = std::function<bool(std::string_view pezzo)>;
using produttore = std::function<bool(const scrivi_pezzo& scrivi)>;

struct file_nuovo {
  std::string nome;
  produttore contenuto;
};

// A file being written before it takes its name: bytes put at any offset, read
// back and cut to a length, so a file laid out in columns can be produced as its
// values are computed. After the first failure every call fails and `esito`
// names the file and the reason. A draft dropped without being put in place
// leaves no trace.
class bozza {
 public:
  virtual ~bozza() = default;
  virtual bool scrivi(uint64_t offset, std::string_view byte) = 0;
  virtual bool leggi(uint64_t offset, std::span<char> byte) = 0;
  virtual bool tronca(uint64_t dimensione) = 0;
  virtual esito_io esito() const = 0;
};

// A draft held in memory; the default of every disk, and the image writers' buffer.
class bozza_memoria : public bozza {
 public:
  explicit bozza_memoria(std::string nome = {}) : nome_(std::move(nome)) {}
  bool scrivi(uint64_t offset, std::string_view byte) override {
    if (contenuto.size() < offset + byte.size()) contenuto.resize(offset + byte.size());
    contenuto.replace(offset, byte.size(), byte);
    return true;
  }
  bool leggi(uint64_t offset, std::span<char> byte) override {
    if (offset > contenuto.size() || contenuto.size() - offset < byte.size()) return false;
    contenuto.copy(byte.data(), byte.size(), offset);
    return true;
  }
  bool tronca(uint64_t dimensione) override {
    contenuto.resize(dimensione);
    return true;
  }
  esito_io esito() const override { return {}; }
  const std::string& nome() const { return nome_; }

  std::string contenuto;

 private:
  std::string nome_;
};

class disco {
 public:
  virtual ~disco() = default;
  virtual bool esiste(const std::string& nome) = 0;
  virtual esito_io leggi(const std::string& nome, std::string& contenuto) = 0;
  // The whole file when it holds at most `massimo` bytes; a larger one is
  // refused (esito_io::troppo_grande). A disk that can tell the size first
  // refuses before reading; by default the file is read, then measured.
  virtual esito_io leggi_entro(const std::string& nome, std::string& contenuto, uint64_t massimo) {
    std::string letto;
    if (esito_io e = leggi(nome, letto); !e.ok) return e;
    if (letto.size() > massimo) return esito_io::troppo_grande(nome, letto.size(), massimo);
    contenuto = std::move(letto);
    return esito_io::riuscito();
  }
  // Replaces the whole file: afterwards it holds exactly these bytes.
  virtual esito_io sostituisci(const std::string& nome, std::string_view contenuto) = 0;
  // Deleting a file that does not exist is no failure.
  virtual esito_io elimina(const std::string& nome) = 0;

  // The same replacement for content too large to hold twice in memory. By
  // default the pieces are gathered and handed to sostituisci.
  virtual esito_io sostituisci_a_pezzi(const std::string& nome, const produttore& contenuto) {
    std::string tutto;
    contenuto([&tutto](std::string_view pezzo) {
      tutto.append(pezzo);
      return true;
    });
    return sostituisci(nome, tutto);
  }
  // Several files replaced as one: a disk that can do so writes them all
  // before putting any in place. By default they are replaced one by one.
  virtual esito_io sostituisci_insieme(const std::vector<file_nuovo>& file) {
    for (const file_nuovo& f : file) {
      if (esito_io e = sostituisci_a_pezzi(f.nome, f.contenuto); !e.ok) return e;
    }
    return esito_io::riuscito();
  }

  // A draft of file `nome`, to be put in place with metti_al_posto. By default
  // it is held in memory and handed whole to sostituisci_insieme.
  virtual std::unique_ptr<bozza> apri_bozza(const std::string& nome) {
    return std::make_unique<bozza_memoria>(nome);
  }
  // Puts drafts this disk opened in place as one replacement: a failed draft
  // stops it before any file is replaced.
  virtual esito_io metti_al_posto(std::vector<std::unique_ptr<bozza>>& bozze) {
    std::vector<file_nuovo> file;
    for (const auto& b : bozze) {
      if (esito_io e = b->esito(); !e.ok) return e;
      const auto* m = dynamic_cast<const bozza_memoria*>(b.get());
      if (m == nullptr) return esito_io::fallito("", "bozza di un altro disco");
      file.push_back({m->nome(), [m](const scrivi_pezzo& scrivi) { return scrivi(m->contenuto); }});
    }
    return sostituisci_insieme(file);
  }
};

// Files held in memory, keyed by name.
class disco_memoria : public disco {
 public:
  bool esiste(const std::string& nome) override { return file.count(nome) != 0; }
  esito_io leggi(const std::string& nome, std::string& contenuto) override {
    auto it = file.find(nome);
    if (it == file.end()) return esito_io::fallito(nome, "file inesistente");
    contenuto = it->second;
    return esito_io::riuscito();
  }
  esito_io sostituisci(const std::string& nome, std::string_view contenuto) override {
    file[nome] = std::string(contenuto);
    return esito_io::riuscito();
  }
  esito_io elimina(const std::string& nome) override {
    file.erase(nome);
    return esito_io::riuscito();
  }

  std::map<std::string, std::string> file;
};

}  // namespace scenario
