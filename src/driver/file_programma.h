// The program's directory and the real disk beneath it. Every name the run
// uses is relative to that directory. A replaced file holds exactly the new
// bytes or, after any failure or a kill, its previous content whole; failures
// come back as values naming the path and the system's reason. Temporaries
// are created under fresh names, exclusively and never through a link, so
// nothing planted in the folder is followed or opened; only a plain file (or
// nothing) is ever replaced.
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

// True when `file` is one of the temporaries made beside `destinazione`
// (DESTINAZIONE.XXXXXXXX.nuovo, or .vecchio for an old file kept aside while
// a set is replaced).
bool temporaneo_di(const std::filesystem::path& file, const std::filesystem::path& destinazione);

// What runs killed halfway left beside these files of `cartella`: their
// temporaries are removed, and an earlier file kept aside whose target is
// missing is put back. Only while holding the folder's lock, when no other
// run can be writing there.
void togli_rimasugli(const std::filesystem::path& cartella, const std::vector<std::string>& nomi);

// Told of every temporary the real disk creates, with its open descriptor,
// before a byte goes to it, and of each replacement: the disk-failure tests
// put a full device behind a temporary or a directory in a target's way.
class osservatore_temporanei {
 public:
  virtual ~osservatore_temporanei() = default;
  virtual void creato(const std::filesystem::path& temporaneo, int descrittore) = 0;
  // Just before a target of a set is replaced (its old file moved aside).
  virtual void prima_di_sostituire(const std::filesystem::path& /*destinazione*/) {}
};

class disco_reale : public disco {
 public:
  explicit disco_reale(std::filesystem::path cartella,
                       osservatore_temporanei* osservatore = nullptr)
      : cartella_(std::move(cartella)), osservatore_(osservatore) {}

  bool esiste(const std::string& nome) override;
  esito_io leggi(const std::string& nome, std::string& contenuto) override;
  // The size is asked of the open file: a larger one is never read, and one
  // within the limit is read into a string of exactly its size.
  esito_io leggi_entro(const std::string& nome, std::string& contenuto, uint64_t massimo) override;
  esito_io sostituisci(const std::string& nome, std::string_view contenuto) override;
  esito_io elimina(const std::string& nome) override;
  esito_io sostituisci_a_pezzi(const std::string& nome, const produttore& contenuto) override;
  // Every temporary is written before any target is replaced; the targets
  // are then replaced all or none (see sostituisci_gruppo).
  esito_io sostituisci_insieme(const std::vector<file_nuovo>& file) override;
  // A draft is the target's temporary, open for writing and reading back;
  // dropped, it is removed. Put in place like sostituisci_insieme.
  std::unique_ptr<bozza> apri_bozza(const std::string& nome) override;
  esito_io metti_al_posto(std::vector<std::unique_ptr<bozza>>& bozze) override;

  std::filesystem::path percorso(const std::string& nome) const { return cartella_ / nome; }

 private:
  std::filesystem::path cartella_;
  osservatore_temporanei* osservatore_;
};

}  // namespace scenario
