#include "strumenti/disco_raccolta.h"

#include "strumenti/compila_sorgenti.h"

namespace scenario {

// A text read once is read from memory after: the compile quotes the very
// bytes it compiled, and no source is held more often than it must be.
esito_io disco_raccolta::leggi(const std::string& nome, std::string& contenuto) {
  if (auto it = letti_.find(nome); it != letti_.end()) {
    contenuto = it->second;
    return esito_io::riuscito();
  }
  std::string letto;
  esito_io e = sotto_.leggi_entro(nome, letto, byte_massimi_sorgente);
  if (!e.ok) return e;
  contenuto = letti_.emplace(nome, std::move(letto)).first->second;
  return e;
}

esito_io disco_raccolta::sostituisci(const std::string& nome, std::string_view contenuto) {
  std::unique_ptr<bozza> b = uscita_.apri_bozza(nome);
  b->scrivi(0, contenuto);
  std::vector<std::unique_ptr<bozza>> una;
  una.push_back(std::move(b));
  return metti_al_posto(una);
}

esito_io disco_raccolta::metti_al_posto(std::vector<std::unique_ptr<bozza>>& bozze) {
  for (auto& b : bozze) {
    if (esito_io e = b->esito(); !e.ok) return e;
  }
  for (auto& b : bozze) pronte_.push_back(std::move(b));
  return esito_io::riuscito();
}

esito_io disco_raccolta::scrivi_su_uscita() {
  esito_io e = uscita_.metti_al_posto(pronte_);
  pronte_.clear();
  return e;
}

}  // namespace scenario
