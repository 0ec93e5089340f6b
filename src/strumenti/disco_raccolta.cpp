#include "strumenti/disco_raccolta.h"

namespace scenario {

esito_io disco_raccolta::leggi(const std::string& nome, std::string& contenuto) {
  esito_io e = sotto_.leggi(nome, contenuto);
  if (e.ok) letti_[nome] = contenuto;
  return e;
}

esito_io disco_raccolta::sostituisci(const std::string& nome, std::string_view contenuto) {
  for (auto& [n, c] : raccolti_) {
    if (n == nome) {
      c.assign(contenuto);
      return esito_io::riuscito();
    }
  }
  raccolti_.emplace_back(nome, std::string(contenuto));
  return esito_io::riuscito();
}

esito_io disco_raccolta::scrivi_su(disco& d) const {
  std::vector<file_nuovo> file;
  for (const auto& [nome, contenuto] : raccolti_) {
    const std::string* testo = &contenuto;
    file.push_back({nome, [testo](const scrivi_pezzo& scrivi) { return scrivi(*testo); }});
  }
  return d.sostituisci_insieme(file);
}

}  // namespace scenario
