// The program's directory and the real disk beneath it. Every name the run
// uses is relative to that directory. A replaced file holds exactly the new
// bytes or, after any failure or a kill, its previous content whole; failures
// come back as values naming the path and the system's reason.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sources/disco.h"

namespace scenario {

// The directory of the running executable. On failure `cartella` is left alone
// and the result names what could not be read.
esito_io cartella_programma(std::filesystem::path& cartella);

// The temporary written beside `destinazione` before it replaces it.
std::filesystem::path file_temporaneo(const std::filesystem::path& destinazione);

class disco_reale : public disco {
 public:
  explicit disco_reale(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}

  bool esiste(const std::string& nome) override;
  esito_io leggi(const std::string& nome, std::string& contenuto) override;
  esito_io sostituisci(const std::string& nome, std::string_view contenuto) override;
  esito_io elimina(const std::string& nome) override;
  esito_io sostituisci_a_pezzi(const std::string& nome, const produttore& contenuto) override;
  // Every temporary is written before any target is replaced.
  esito_io sostituisci_insieme(const std::vector<file_nuovo>& file) override;
  // A draft is the target's temporary, open for writing and reading back;
  // dropped, it is removed. Put in place like sostituisci_insieme.
  std::unique_ptr<bozza> apri_bozza(const std::string& nome) override;
  esito_io metti_al_posto(std::vector<std::unique_ptr<bozza>>& bozze) override;

  std::filesystem::path percorso(const std::string& nome) const { return cartella_ / nome; }

 private:
  std::filesystem::path cartella_;
};

}  // namespace scenario
