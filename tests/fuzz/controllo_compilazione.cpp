// The compiled files are decoded here on their own, field by field from the
// documented layouts, and compared with the state the compile left: a size, a
// tag or a value that the writers got wrong shows up as a difference, and any
// read outside a buffer is caught by the sanitizers of the build.
#include "controllo_compilazione.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "compiler/errori.h"
#include "compiler/memorizza_percorso.h"
#include "compiler/stato.h"
#include "sources/disco.h"
#include "sources/nomi_file.h"
#include "strumenti/diagnosi.h"

namespace scenario {

namespace {

constexpr size_t byte_cella = 15;
constexpr size_t byte_fissi_riga = 34;
constexpr size_t nome_massimo = 0xFFFF;
constexpr int16_t costante_cella = 5121;
constexpr int16_t costante_riga = 610;

nomi_file nomi_prova() { return {"L", "T"}; }

// Little-endian fields read in order from a file image. A read past the end
// yields zeros and marks the image as short, so a decoder never leaves it.
class lettore_immagine {
 public:
  explicit lettore_immagine(std::string_view dati) : dati_(dati) {}

  uint8_t u8() { return static_cast<uint8_t>(le<1>()); }
  uint16_t u16() { return static_cast<uint16_t>(le<2>()); }
  int16_t i16() { return static_cast<int16_t>(u16()); }
  int32_t i32() { return static_cast<int32_t>(static_cast<uint32_t>(le<4>())); }
  uint64_t u64() { return le<8>(); }
  std::string_view testo(size_t n) {
    if (!disponibili(n)) return {};
    std::string_view t(dati_.data() + pos_, n);
    pos_ += n;
    return t;
  }
  bool corto() const { return corto_; }
  bool finito() const { return pos_ == dati_.size(); }

 private:
  bool disponibili(size_t n) {
    if (n <= dati_.size() - pos_) return true;
    corto_ = true;
    pos_ = dati_.size();
    return false;
  }
  // Least significant byte first, whatever the host; on a little-endian host
  // that is one copy (the plan of a long route has millions of values).
  template <size_t n>
  uint64_t le() {
    if (!disponibili(n)) return 0;
    uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&v, dati_.data() + pos_, n);
    } else {
      for (size_t i = 0; i < n; ++i)
        v |= uint64_t{static_cast<uint8_t>(dati_[pos_ + i])} << (8 * i);
    }
    pos_ += n;
    return v;
  }

  std::string_view dati_;
  size_t pos_ = 0;
  bool corto_ = false;
};

std::string in_cella(const char* cosa, size_t i) {
  return std::string(cosa) + " " + std::to_string(i);
}

std::string controlla_griglia(const stato& s, std::string_view file) {
  if (s.ultima_cella < 1) return "ultima_cella below 1 with a grid written";
  if (s.percorso.size() != static_cast<size_t>(s.ultima_cella) + 1)
    return "the grid does not hold ultima_cella + 1 cells";
  if (file.size() != byte_cella * s.percorso.size())
    return "grid file size is not 15 x (ultima_cella + 1)";
  lettore_immagine l(file);
  for (size_t i = 0; i < s.percorso.size(); ++i) {
    cella c;
    c.tipo_cella = l.u8();
    c.valore1 = l.i16();
    c.valore2 = l.i16();
    c.valore3 = l.i16();
    c.valore4 = l.i16();
    c.tempo_segnale = l.u8();
    c.avvicinamento = l.u8();
    c.tipo_montagna = l.u8();
    c.vel_limite = l.u8();
    c.pendenza = l.u8();
    c.aderenza = l.u8();
    if (!(c == s.percorso[i])) return in_cella("grid file differs from the grid at cell", i);
  }
  return l.finito() && !l.corto() ? "" : "grid file not consumed exactly";
}

std::string controlla_tabella(const stato& s, std::string_view file) {
  // A longer name (left by a row that failed on it) is cut to what the
  // 16-bit length can say.
  const auto scritto = [](const voce_scenario& r) {
    voce_scenario v = r;
    if (v.nome.size() > nome_massimo) v.nome.resize(nome_massimo);
    return v;
  };
  size_t attesa = 0;
  for (const voce_scenario& r : s.tabella_scenario)
    attesa += byte_fissi_riga + scritto(r).nome.size();
  if (file.size() != attesa) return ".sim size is not 87 x 34 + the name lengths";
  lettore_immagine l(file);
  for (size_t i = 0; i < s.tabella_scenario.size(); ++i) {
    voce_scenario v;
    v.tipo = l.u8();
    v.inizio = l.i32();
    v.fine = l.i32();
    v.posizione = l.i32();
    v.dato1 = l.u8();
    v.nome = std::string(l.testo(l.u16()));
    v.dato4 = l.i16();
    v.dato5 = l.i16();
    v.dato7 = l.i16();
    v.dato8 = l.i16();
    v.dato9 = l.i16();
    v.dato6 = l.u8();
    v.dato10 = l.u8();
    v.dato3 = l.u8();
    v.dato2 = l.u8();
    v.orario = l.i32();
    if (!(v == scritto(s.tabella_scenario[i])))
      return in_cella(".sim differs from the table at row", i);
  }
  return l.finito() && !l.corto() ? "" : ".sim not consumed exactly";
}

uint64_t bit_di(double v) {
  uint64_t b = 0;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

std::string controlla_piano(const stato& s, std::string_view file) {
  const tracciato& t = s.tracciato;
  if (!t.allocato()) return "plan file written without a plan";
  if (t.fine() != s.fine_tracciato) return "the plan does not end at fine_tracciato";
  lettore_immagine l(file);
  for (int colonna = 0; colonna < 2; ++colonna) {
    for (int32_t m = 0; m <= t.fine(); ++m) {
      const uint16_t tag = l.u16();
      if (tag != static_cast<uint16_t>(t.tipo(m, colonna)))
        return in_cella("plan file tag differs at point", static_cast<size_t>(m));
      bool uguale = true;
      switch (t.tipo(m, colonna)) {
        case tipo_valore::vuoto:
          break;
        case tipo_valore::intero:
          uguale = static_cast<double>(l.i16()) == t.valore(m, colonna);
          break;
        case tipo_valore::doppio:
          uguale = l.u64() == bit_di(t.valore(m, colonna));
          break;
        default:
          return "plan value with an unknown tag";
      }
      if (!uguale) return in_cella("plan file value differs at point", static_cast<size_t>(m));
    }
  }
  return l.finito() && !l.corto() ? "" : "plan file is not 2 x (fine + 1) tagged values";
}

const std::string* file_in(const disco_memoria& d, const std::string& nome) {
  auto it = d.file.find(nome);
  return it == d.file.end() ? nullptr : &it->second;
}

// Everything that must hold after one compile of these sources.
std::string controlla_esito(const stato& s, const disco_memoria& d, const esito_compilazione& e,
                            int32_t j, bool con_treno) {
  const nomi_file n = nomi_prova();
  if (!e.io.ok) return "an in-memory disk reported a failure: " + e.io.file + ": " + e.io.motivo;
  if (s.codice_errore != 0 && descrizione_errore(s.codice_errore).empty())
    return "undocumented error number " + std::to_string(s.codice_errore);
  if (e.errore_fatale != 0 && descrizione_errore(e.errore_fatale).empty())
    return "undocumented fatal number " + std::to_string(e.errore_fatale);
  if (s.griglia_creata() && s.percorso.size() != static_cast<size_t>(s.ultima_cella) + 1)
    return "the grid does not hold ultima_cella + 1 cells";
  if (file_in(d, n.sorgente_linea()) != nullptr) return "the line source was not deleted";
  if (file_in(d, n.sorgente_treno()) != nullptr && s.codice_errore == 0)
    return "the train-run source stayed after a compile without error";
  std::set<std::string> ammessi = {n.linea_compilata(), n.treno_compilato(), n.griglia_compilata()};
  if (con_treno) ammessi.insert(n.sorgente_treno());
  for (const auto& [nome, contenuto] : d.file)
    if (ammessi.count(nome) == 0) return "unexpected file " + nome;

  const std::string* piano = file_in(d, n.linea_compilata());
  const std::string* treno = file_in(d, n.treno_compilato());
  const std::string* griglia = file_in(d, n.griglia_compilata());
  if (e.errore_fatale != 0) {
    if (piano != nullptr || treno != nullptr || griglia != nullptr)
      return "a compiled file written after fatal error " + std::to_string(e.errore_fatale);
    if (s.griglia_creata() && e.errore_fatale != 1250 && e.errore_fatale != 1251)
      return "fatal error " + std::to_string(e.errore_fatale) + " with a grid built";
    return "";
  }
  if (treno == nullptr || griglia == nullptr)
    return "a compiled file missing without a fatal error";
  if ((piano != nullptr) != (j != 0))
    return "plan file present though j is 0, or missing though not";

  if (std::string r = controlla_griglia(s, *griglia); !r.empty()) return r;
  if (std::string r = controlla_tabella(s, *treno); !r.empty()) return r;
  if (piano != nullptr)
    if (std::string r = controlla_piano(s, *piano); !r.empty()) return r;
  // Written files always carry the header constants, error or not.
  if (s.percorso[1].valore1 != costante_cella) return "cell 1 valore1 is not 5121";
  if (s.tabella_scenario[riga_linea].dato4 != costante_riga) return "row 85 dato4 is not 610";
  return "";
}

struct compilazione {
  stato s;
  disco_memoria d;
  esito_compilazione e;
};

void prepara(stato& s, disco_memoria& d, std::string_view linea, const std::string* treno) {
  const nomi_file n = nomi_prova();
  s.nome_linea = n.nome_linea;
  s.nome_treno = n.nome_treno;
  d.file.clear();
  d.file[n.sorgente_linea()] = std::string(linea);
  if (treno != nullptr) d.file[n.sorgente_treno()] = *treno;
}

// The lengths of a text's lines, split as the field reader splits them.
std::vector<size_t> lunghezze_righe(std::string_view t) {
  std::vector<size_t> v;
  size_t da = 0;
  for (;;) {
    const size_t a_capo = t.find_first_of("\r\n", da);
    if (a_capo == std::string_view::npos) {
      v.push_back(t.size() - da);
      return v;
    }
    v.push_back(a_capo - da);
    da = a_capo + (t[a_capo] == '\r' && a_capo + 1 < t.size() && t[a_capo + 1] == '\n' ? 2 : 1);
  }
}

// Every place the diagnostics name lies inside its source (a column may be
// one past the line's end, where an empty field begins), and the report
// built from them quotes no line whole beyond its window.
std::string controlla_diagnosi(const stato& s, int32_t codice,
                               const std::map<std::string, std::string>& testi) {
  std::map<std::string, std::vector<size_t>> righe;
  for (const auto& [nome, testo] : testi) righe[nome] = lunghezze_righe(testo);
  const auto dentro = [&](const luogo_sorgente& l) -> std::string {
    // A whole file, which may be the missing one.
    if (l.riga == 0) {
      const nomi_file n = nomi_prova();
      const bool noto =
          l.file.empty() || l.file == n.sorgente_linea() || l.file == n.sorgente_treno();
      return noto ? "" : "unknown file " + l.file;
    }
    auto it = righe.find(l.file);
    if (it == righe.end()) return "a row in an unknown file " + l.file;
    if (l.riga < 0 || static_cast<size_t>(l.riga) > it->second.size())
      return "line " + std::to_string(l.riga) + " outside " + l.file;
    const size_t n = it->second[static_cast<size_t>(l.riga) - 1];
    if (l.colonna < 1 || static_cast<size_t>(l.colonna) > n + 1)
      return "column " + std::to_string(l.colonna) + " outside line " + std::to_string(l.riga);
    return "";
  };
  for (const errore_incontrato& e : s.diagnostica.errori) {
    if (std::string r = dentro(e.luogo); !r.empty()) return "error place: " + r;
    if (descrizione_errore(e.codice).empty()) return "undocumented error met";
  }
  for (const avviso& w : s.diagnostica.avvisi) {
    if (std::string r = dentro(w.luogo); !r.empty()) return "warning place: " + r;
  }
  for (const auto& [cella, l] : s.diagnostica.posati) {
    if (std::string r = dentro(l); !r.empty()) return "placed object's row: " + r;
  }
  const std::string rapporto = rapporto_compilazione(s, codice, testi, "");
  size_t da = 0;
  while (da < rapporto.size()) {
    const size_t a_capo = rapporto.find('\n', da);
    if (a_capo == std::string::npos) return "report not ended by a line end";
    if (a_capo - da > 1024) return "report line longer than 1024 bytes";
    da = a_capo + 1;
  }
  return "";
}

}  // namespace

std::string controlla_compilazione(std::string_view ingresso) {
  if (ingresso.empty()) return "";
  const auto modo = static_cast<uint8_t>(ingresso[0]);
  const int32_t j = (modo & 1) != 0 ? 1 : 0;
  const bool ripeti = (modo & 2) != 0;
  std::string_view sorgenti = ingresso.substr(1);

  std::string_view linea = sorgenti;
  std::string treno;
  const size_t taglio = sorgenti.find(separatore_sorgenti);
  if (taglio != std::string_view::npos) {
    linea = sorgenti.substr(0, taglio);
    treno = std::string(sorgenti.substr(taglio + separatore_sorgenti.size()));
  }
  const bool con_treno = taglio != std::string_view::npos;

  compilazione c;
  prepara(c.s, c.d, linea, con_treno ? &treno : nullptr);
  c.e = memorizza_percorso(c.s, c.d, j);
  if (std::string r = controlla_esito(c.s, c.d, c.e, j, con_treno); !r.empty()) return r;
  std::map<std::string, std::string> testi{{nomi_prova().sorgente_linea(), std::string(linea)}};
  if (con_treno) testi[nomi_prova().sorgente_treno()] = treno;
  const int32_t riportato = c.e.errore_fatale != 0 ? c.e.errore_fatale : c.s.codice_errore;
  if (std::string r = controlla_diagnosi(c.s, riportato, testi); !r.empty()) return r;
  if (!ripeti) return "";

  // The same state compiled again: nothing of the first call may show.
  const std::map<std::string, std::string> primi = std::move(c.d.file);
  const int32_t codice = c.s.codice_errore;
  const int32_t fatale = c.e.errore_fatale;
  prepara(c.s, c.d, linea, con_treno ? &treno : nullptr);
  c.e = memorizza_percorso(c.s, c.d, j);
  if (std::string r = controlla_esito(c.s, c.d, c.e, j, con_treno); !r.empty())
    return "second compile: " + r;
  if (c.s.codice_errore != codice || c.e.errore_fatale != fatale)
    return "second compile in the same state records another error";
  if (c.d.file != primi) return "second compile in the same state writes other files";
  return "";
}

}  // namespace scenario
