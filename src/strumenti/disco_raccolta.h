// A disk layer for compiling an author's own sources. Reads go to the sources'
// disk, each source at most byte_massimi_sorgente (compila_sorgenti.h), once:
// the text is kept, to quote its lines in a report, and read again from it; a
// deletion does nothing, so the author's sources are never lost. What the
// compile writes waits for the caller: a replaced file is held in memory, a
// draft is opened on the output disk at once (a long plan is never held here)
// and kept aside when put in place; `scrivi_su_uscita` puts them all in place
// together, and dropping the layer drops them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sources/disco.h"

namespace scenario {

class disco_raccolta : public disco {
 public:
  disco_raccolta(disco& sorgenti, disco& uscita) : sotto_(sorgenti), uscita_(uscita) {}

  bool esiste(const std::string& nome) override { return sotto_.esiste(nome); }
  esito_io leggi(const std::string& nome, std::string& contenuto) override;
  esito_io sostituisci(const std::string& nome, std::string_view contenuto) override;
  esito_io elimina(const std::string&) override { return esito_io::riuscito(); }
  std::unique_ptr<bozza> apri_bozza(const std::string& nome) override {
    return uscita_.apri_bozza(nome);
  }
  // Kept aside, in order, for scrivi_su_uscita; a failed draft is reported now.
  esito_io metti_al_posto(std::vector<std::unique_ptr<bozza>>& bozze) override;

  // The texts read so far, by name.
  const std::map<std::string, std::string>& letti() const { return letti_; }
  // Puts every collected file and draft on the output disk as one
  // replacement: all are written before any takes its place.
  esito_io scrivi_su_uscita();

 private:
  disco& sotto_;
  disco& uscita_;
  std::vector<std::unique_ptr<bozza>> pronte_;
  std::map<std::string, std::string> letti_;
};

}  // namespace scenario
