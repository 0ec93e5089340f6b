// The disk as the scenario code sees it: whole files by name, relative to the
// program's directory. The real disk (driver) and an in-memory disk (tests,
// fuzzer, library use) implement it, so compiling never has to touch a file.
#pragma once

#include <map>
#include <string>
#include <string_view>

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

class disco {
 public:
  virtual ~disco() = default;
  virtual bool esiste(const std::string& nome) = 0;
  virtual esito_io leggi(const std::string& nome, std::string& contenuto) = 0;
  // Replaces the whole file: afterwards it holds exactly these bytes.
  virtual esito_io sostituisci(const std::string& nome, std::string_view contenuto) = 0;
  // Deleting a file that does not exist is no failure.
  virtual esito_io elimina(const std::string& nome) = 0;
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
