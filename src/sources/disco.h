// The disk as the scenario code sees it: whole files by name, relative to the
// program's directory. The real disk (driver) and an in-memory disk (tests,
// fuzzer, library use) implement it, so compiling never has to touch a file.
#pragma once

#include <functional>
#include <map>
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

  static esito_io riuscito() { return {}; }
  static esito_io fallito(std::string file, std::string motivo) {
    return {false, std::move(file), std::move(motivo)};
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

class disco {
 public:
  virtual ~disco() = default;
  virtual bool esiste(const std::string& nome) = 0;
  virtual esito_io leggi(const std::string& nome, std::string& contenuto) = 0;
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
