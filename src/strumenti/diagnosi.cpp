#include "strumenti/diagnosi.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <tuple>
#include <vector>

#include "compiler/cella.h"
#include "compiler/errori.h"
#include "compiler/misure_griglia.h"
#include "sources/lettore_campi.h"
#include "sources/nome_stampabile.h"
#include "sources/nomi_file.h"
#include "strumenti/nomi_tipi.h"

namespace scenario {

namespace {

class redattore {
 public:
  redattore(const stato& s, const std::map<std::string, std::string>& testi,
            const std::string& prefisso)
      : s_(s), testi_(testi), prefisso_(prefisso) {}

  // One message at its place, with the quoted line when the place is a row.
  void messaggio(const luogo_sorgente& l, const std::string& testo, bool citare = true) {
    messaggio_diagnosi m;
    if (!l.file.empty()) {
      m.file = prefisso_ + l.file;
      m.riga = l.riga;
      m.colonna = l.colonna;
    }
    m.testo = testo;
    if (citare && l.riga > 0) m.citazione = cita(l);
    messaggi_.push_back(std::move(m));
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

  std::vector<messaggio_diagnosi> messaggi() && { return std::move(messaggi_); }

 private:
  // The line, then a caret under the column; tabs are kept so it lines up,
  // other control bytes shown as "?". A long line is quoted in a window of
  // bytes around the column, marked "..." where it is cut.
  std::string cita(const luogo_sorgente& l) const {
    auto it = testi_.find(l.file);
    if (it == testi_.end()) return {};
    const lettore_campi lettore(it->second, l.file);
    std::string_view riga = lettore.linea(l.riga);
    size_t colonna = l.colonna > 0 ? static_cast<size_t>(l.colonna) - 1 : 0;
    // A place past the line's last byte is its line end.
    if (colonna > riga.size()) colonna = riga.size();
    std::string prima;
    std::string dopo;
    if (riga.size() > finestra_citazione) {
      const size_t da = colonna > finestra_citazione / 2 ? colonna - finestra_citazione / 2 : 0;
      if (da > 0) prima = "...";
      if (da + finestra_citazione < riga.size()) dopo = "...";
      riga = riga.substr(da, finestra_citazione);
      colonna -= da;
    }
    std::string linea = prima;
    for (const char c : riga) {
      linea += (static_cast<unsigned char>(c) < 32 && c != '\t') || c == 127 ? '?' : c;
    }
    std::string r = linea + dopo + "\n";
    for (size_t i = 0; i < colonna + prima.size() && i < linea.size(); ++i) {
      r += linea[i] == '\t' ? '\t' : ' ';
    }
    return r + "^\n";
  }

  static constexpr size_t finestra_citazione = 160;

  const stato& s_;
  const std::map<std::string, std::string>& testi_;
  const std::string& prefisso_;
  std::vector<messaggio_diagnosi> messaggi_;
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
void rapporto_conflitto(redattore& r, const errore_incontrato& e, const luogo_sorgente& luogo) {
  const conflitto_finitura& c = *e.conflitto;
  r.messaggio(luogo, intestazione(e.codice) + " (posizione " + std::to_string(e.posizione) + " m)");
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

// One message of the report, errors and warnings alike, at its place.
struct voce {
  luogo_sorgente luogo;
  const errore_incontrato* errore = nullptr;  // else a warning
  const avviso* avviso_ = nullptr;
  std::string causa;  // the warning that explains the error
};

// Source order: the line source, then the train-run source, then anything
// without a file; within a file by line and column.
int rango_file(const stato& s, const std::string& file) {
  const nomi_file nomi{s.nome_linea, s.nome_treno};
  if (file == nomi.sorgente_linea()) return 0;
  if (file == nomi.sorgente_treno()) return 1;
  return 2;
}

// The errors as met, each at its place: a conflict at its object's row, an
// error in a row where a field was read as something else at that field.
std::vector<voce> voci(const stato& s, const redattore& r, int32_t codice, bool con_avvisi) {
  std::vector<voce> v;
  std::vector<bool> usato(s.diagnostica.avvisi.size(), false);
  for (const errore_incontrato& e : s.diagnostica.errori) {
    voce x{e.luogo, &e, nullptr, {}};
    if (e.conflitto && del_completamento(e.codice)) {
      x.luogo = r.posato(e.codice == errori::segnale_vicino_avviso ? e.conflitto->segnale
                                                                   : e.conflitto->inizio);
    }
    for (size_t i = 0; i < s.diagnostica.avvisi.size() && x.luogo.riga > 0; ++i) {
      const avviso& w = s.diagnostica.avvisi[i];
      if (w.lettura && !usato[i] && w.luogo.file == x.luogo.file && w.luogo.riga == x.luogo.riga &&
          w.luogo.colonna >= x.luogo.colonna) {
        usato[i] = true;
        x.luogo = w.luogo;
        x.causa = w.testo;
        break;
      }
    }
    v.push_back(std::move(x));
  }
  (void)codice;
  for (size_t i = 0; con_avvisi && i < s.diagnostica.avvisi.size(); ++i) {
    if (!usato[i])
      v.push_back({s.diagnostica.avvisi[i].luogo, nullptr, &s.diagnostica.avvisi[i], {}});
  }
  std::stable_sort(v.begin(), v.end(), [&s](const voce& a, const voce& b) {
    const auto chiave = [&s](const voce& x) {
      // At one place a warning, which may explain the error, comes first.
      return std::tuple(rango_file(s, x.luogo.file), x.luogo.riga, x.luogo.colonna,
                        x.errore != nullptr);
    };
    return chiave(a) < chiave(b);
  });
  return v;
}

}  // namespace

std::vector<messaggio_diagnosi> messaggi_compilazione(
    const stato& s, int32_t codice, const std::map<std::string, std::string>& testi,
    const std::string& prefisso, bool con_avvisi) {
  redattore r(s, testi, prefisso);
  const bool di_intestazione =
      codice == errori::costanti_presenti || codice == errori::codici_presenti;
  for (const voce& x : voci(s, r, codice, con_avvisi)) {
    if (x.avviso_ != nullptr) {
      r.messaggio(x.luogo, "avviso: " + x.avviso_->testo);
    } else if (x.errore->conflitto && del_completamento(x.errore->codice)) {
      rapporto_conflitto(r, *x.errore, x.luogo);
    } else {
      r.messaggio(x.luogo, intestazione(x.errore->codice));
      if (!x.causa.empty()) r.messaggio(x.luogo, "nota: " + x.causa, false);
      if (!x.errore->nota.empty()) r.messaggio(x.luogo, "nota: " + x.errore->nota, false);
    }
  }
  // A number met by no record: the fatal one of the compile step.
  if (di_intestazione) {
    rapporto_intestazione(r, s, codice);
  } else if (codice != 0 && s.diagnostica.errori.empty()) {
    r.messaggio(s.diagnostica.luogo, intestazione(codice));
  }
  return std::move(r).messaggi();
}

std::string luogo_messaggio(const messaggio_diagnosi& m) {
  if (m.file.empty()) return "compila_scenario";
  if (m.riga <= 0) return nome_stampabile(m.file);
  return nome_stampabile(m.file) + ":" + std::to_string(m.riga) + ":" + std::to_string(m.colonna);
}

std::string rapporto_compilazione(const stato& s, int32_t codice,
                                  const std::map<std::string, std::string>& testi,
                                  const std::string& prefisso, bool con_avvisi) {
  std::string t;
  for (const messaggio_diagnosi& m : messaggi_compilazione(s, codice, testi, prefisso, con_avvisi))
    t += luogo_messaggio(m) + ": " + m.testo + "\n" + m.citazione;
  return t;
}

}  // namespace scenario
