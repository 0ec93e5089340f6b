// A disk layer for compiling an author's own sources. Reads go to the disk
// beneath (and a copy of each text is kept, to quote its lines in a report);
// a deletion does nothing, so the author's sources are never lost; every
// replaced file is held in memory, in order, until the caller puts them all
// on a disk together, or drops them.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sources/disco.h"

namespace scenario {

class disco_raccolta : public disco {
 public:
  explicit disco_raccolta(disco& sotto) : sotto_(sotto) {}

  bool esiste(const std::string& nome) override { return sotto_.esiste(nome); }
  esito_io leggi(const std::string& nome, std::string& contenuto) override;
  esito_io sostituisci(const std::string& nome, std::string_view contenuto) override;
  esito_io elimina(const std::string&) override { return esito_io::riuscito(); }

  // The files replaced so far, in the order of their first replacement.
  const std::vector<std::pair<std::string, std::string>>& raccolti() const { return raccolti_; }
  // The texts read so far, by name.
  const std::map<std::string, std::string>& letti() const { return letti_; }
  // Puts every collected file on `d` as one replacement: all are written
  // before any takes its place.
  esito_io scrivi_su(disco& d) const;

 private:
  disco& sotto_;
  std::vector<std::pair<std::string, std::string>> raccolti_;
  std::map<std::string, std::string> letti_;
};

}  // namespace scenario
