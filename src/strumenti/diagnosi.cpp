#include "strumenti/diagnosi.h"

#include <optional>
#include <string_view>

#include "compiler/cella.h"
#include "compiler/errori.h"
#include "compiler/misure_griglia.h"
#include "sources/lettore_campi.h"
#include "strumenti/nomi_tipi.h"

namespace scenario {

namespace {

constexpr int32_t errore_costanti = 1250;
constexpr int32_t errore_codici = 1251;

bool del_completamento(int32_t codice) {
  return codice == 11 || codice == 12 || codice == 13 || codice == 30;
}

class redattore {
 public:
  redattore(const stato& s, const std::map<std::string, std::string>& testi,
            const std::string& prefisso)
      : s_(s), testi_(testi), prefisso_(prefisso) {}

  // One message at its place, with the quoted line when the place is a row.
  void messaggio(const luogo_sorgente& l, const std::string& testo, bool citare = true) {
    if (l.file.empty()) {
      testo_ += "compila_scenario: ";
    } else {
      testo_ += prefisso_ + l.file;
      if (l.riga > 0) {
        testo_ += ':';
        testo_ += std::to_string(l.riga);
        testo_ += ':';
        testo_ += std::to_string(l.colonna);
      }
      testo_ += ": ";
    }
    testo_ += testo + "\n";
    if (citare && l.riga > 0) cita(l);
  }

  // The row that placed the object of cell i; nothing when no row did.
  luogo_sorgente posato(std::optional<int32_t> i) const {
    if (!i) return {};
    auto it = s_.diagnostica.posati.find(*i);
    return it == s_.diagnostica.posati.end() ? luogo_sorgente{} : it->second;
  }

  // What holds cell i, which lies in the grid: a value point no row placed
  // is the finishing pass's own.
  std::string occupante(int32_t i) const {
    const cella& c = s_.percorso[static_cast<size_t>(i)];
    std::string d(nome_tipo_cella(c.tipo_cella));
    if (c.tipo_cella == punto_valore && s_.diagnostica.posati.count(i) == 0)
      d += " del completamento";
    return d;
  }

  std::string descrivi_cella(int32_t i) const {
    const std::string d = "cella " + std::to_string(i);
    if (!s_.nella_griglia(i)) return d + " fuori dalla griglia";
    return d + " occupata: " + occupante(i);
  }

  const std::string& testo() const { return testo_; }

 private:
  // The line, then a caret under the column; tabs are kept so it lines up.
  void cita(const luogo_sorgente& l) {
    auto it = testi_.find(l.file);
    if (it == testi_.end()) return;
    const lettore_campi lettore(it->second, l.file);
    const std::string_view riga = lettore.linea(l.riga);
    testo_.append(riga);
    testo_ += "\n";
    for (size_t i = 0; i + 1 < static_cast<size_t>(l.colonna) && i < riga.size(); ++i) {
      testo_ += riga[i] == '\t' ? '\t' : ' ';
    }
    testo_ += "^\n";
  }

  const stato& s_;
  const std::map<std::string, std::string>& testi_;
  const std::string& prefisso_;
  std::string testo_;
};

std::string intestazione(int32_t codice) {
  std::string t = "errore " + std::to_string(codice);
  if (auto d = descrizione_errore(codice); !d.empty()) t += ": " + std::string(d);
  return t;
}

std::string in_cella(std::string_view cosa, int32_t i) {
  return std::string(cosa) + " nella cella " + std::to_string(i) + " (" +
         std::to_string(metri_oggetto(i)) + " m)";
}

// A conflict of the finishing pass: the message at the row of the object it
// concerns, then one note per object and per cell tried in vain.
void rapporto_conflitto(redattore& r, const stato& s, int32_t codice, const conflitto_finitura& c) {
  const std::optional<int32_t> principale = codice == 11 ? c.segnale : c.inizio;
  const luogo_sorgente luogo = r.posato(principale);
  r.messaggio(luogo,
              intestazione(codice) + " (posizione " + std::to_string(s.posizione_errore) + " m)");
  const auto nota = [&](std::optional<int32_t> i, std::string_view cosa) {
    if (!i) return;
    const luogo_sorgente l = r.posato(i);
    r.messaggio(l, "nota: " + in_cella(cosa, *i), !(l == luogo));
  };
  nota(c.segnale, "segnale");
  nota(c.avviso, "avviso del rallentamento");
  nota(c.inizio, "inizio del rallentamento");
  nota(c.fine, "fine del rallentamento");
  for (const int32_t i : c.tentate) r.messaggio(r.posato(i), "nota: " + r.descrivi_cella(i));
}

// 1250 and 1251: the slots of cell 1 were taken by an object placed there.
void rapporto_intestazione(redattore& r, const stato& s, int32_t codice) {
  const luogo_sorgente luogo = r.posato(1);
  r.messaggio(luogo, intestazione(codice));
  if (s.nella_griglia(1) && s.percorso[1].tipo_cella != cella_libera) {
    r.messaggio(
        luogo,
        "nota: la cella 1, che riceve i valori di intestazione, e' occupata: " + r.occupante(1),
        false);
  }
}

}  // namespace

std::string rapporto_compilazione(const stato& s, int32_t codice,
                                  const std::map<std::string, std::string>& testi,
                                  const std::string& prefisso) {
  redattore r(s, testi, prefisso);
  if (codice == errore_costanti || codice == errore_codici) {
    rapporto_intestazione(r, s, codice);
  } else if (del_completamento(codice) && s.diagnostica.conflitto) {
    rapporto_conflitto(r, s, codice, *s.diagnostica.conflitto);
  } else {
    r.messaggio(s.diagnostica.luogo, intestazione(codice));
  }
  return r.testo();
}

}  // namespace scenario
