#include "controllo_letture.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <sstream>
#include <vector>

#include "compiler/uscita.h"
#include "sources/disco.h"
#include "sources/nomi_file.h"
#include "strumenti/decodifica.h"
#include "strumenti/disegna.h"
#include "strumenti/ispeziona.h"
#include "strumenti/json_prova.h"
#include "strumenti/svg_prova.h"
#include "strumenti/xml_prova.h"

namespace scenario {

namespace {

// Far above any picture of a real route: a drawing must be bounded by the
// picture, not by what the files hold.
constexpr size_t byte_massimi_disegno = 4 << 20;

const nomi_file nomi{"L", "T"};

uint32_t u32(std::string_view d, size_t o) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t{static_cast<unsigned char>(d[o + i])} << (8 * i);
  return v;
}

int16_t i16(std::string_view d, size_t o) {
  return static_cast<int16_t>(static_cast<unsigned char>(d[o]) |
                              (static_cast<unsigned char>(d[o + 1]) << 8));
}

void metti_le(std::string& s, uint64_t v, int byte) {
  for (int i = 0; i < byte; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Valid UTF-8 with no control character (C0, DEL, C1) but the line end.
std::string testo_pulito(std::string_view t) {
  if (!prova::utf8_valido(t)) return "UTF-8 non valido";
  for (size_t i = 0; i < t.size(); ++i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if ((c < 0x20 && c != '\n') || c == 0x7F) return "carattere di controllo " + std::to_string(c);
    if (c == 0xC2 && i + 1 < t.size() && static_cast<unsigned char>(t[i + 1]) < 0xA0)
      return "controllo C1";
  }
  return {};
}

// One refusal line: "compila_scenario: NOME: file non valido (...) all'offset N: ...",
// N within the file.
std::string rifiuto_valido(const std::string& err, const std::string& nome, size_t dimensione) {
  const std::string testa = "compila_scenario: " + nome + ": file non valido (";
  if (err.rfind(testa, 0) != 0) return "rifiuto senza il nome: " + err;
  if (err.find('\n') != err.size() - 1) return "rifiuto non su una riga: " + err;
  if (std::string e = testo_pulito(err); !e.empty()) return "rifiuto: " + e;
  const size_t o = err.find("all'offset ");
  if (o == std::string::npos) return "rifiuto senza offset: " + err;
  const unsigned long long offset = std::strtoull(err.c_str() + o + 11, nullptr, 10);
  if (offset > dimensione) return "offset oltre il file: " + err;
  return {};
}

std::optional<std::string> rifatto(tipo_file tipo, std::string_view dati) {
  switch (tipo) {
    case tipo_file::piano: {
      tracciato t;
      if (decodifica_piano(dati, t)) return std::nullopt;
      return immagine_linea(t);
    }
    case tipo_file::tabella: {
      tabella t{};
      if (decodifica_tabella(dati, t)) return std::nullopt;
      return immagine_treno(t);
    }
    case tipo_file::griglia:
      break;
  }
  std::vector<cella> c;
  if (decodifica_griglia(dati, c)) return std::nullopt;
  return immagine_griglia(c);
}

std::string controlla_ispezione(tipo_file tipo, const std::string& nome, std::string_view dati,
                                const opzioni_ispezione& base, bool& decodificato) {
  std::optional<esito_strumento> primo;
  for (const bool json : {false, true}) {
    opzioni_ispezione o = base;
    o.json = json;
    std::ostringstream out;
    std::ostringstream err;
    const esito_strumento e = ispeziona(dati, tipo, nome, o, out, err);
    const std::string come = json ? nome + " (JSON): " : nome + ": ";
    if (primo && *primo != e) return come + "testo e JSON finiscono diversamente";
    primo = e;
    if (e == esito_strumento::fatto) {
      if (!err.str().empty()) return come + "messaggio senza errore: " + err.str();
      const std::string d = out.str();
      if (d.empty()) return come + "nessun dump";
      if (std::string x = json ? prova::errore_json(d) : testo_pulito(d); !x.empty())
        return come + x;
    } else if (e == esito_strumento::file_malformato) {
      if (!out.str().empty()) return come + "dump di un file rifiutato";
      if (std::string x = rifiuto_valido(err.str(), nome, dati.size()); !x.empty()) return come + x;
    } else {
      return come + "esito inatteso " + std::to_string(static_cast<int>(e));
    }
  }
  decodificato = primo == esito_strumento::fatto;
  const std::optional<std::string> di_nuovo = rifatto(tipo, dati);
  if (di_nuovo.has_value() != decodificato) return nome + ": decoder e inspect in disaccordo";
  if (di_nuovo && *di_nuovo != dati) return nome + ": ricodificato diverso";
  return {};
}

// Attributes that hold numbers (coordinates, sizes, paths, transforms).
bool numerico(const std::string& a) {
  static const char* const nomi_numerici[] = {
      "x",  "y",     "x1",     "y1",      "x2",        "y2",           "cx",           "cy",
      "r",  "width", "height", "points",  "d",         "viewBox",      "transform",    "rx",
      "ry", "dx",    "dy",     "opacity", "font-size", "stroke-width", "data-riquadro"};
  for (const char* n : nomi_numerici)
    if (a == n) return true;
  return false;
}

std::string controlla_svg(const std::string& nome, const std::string& svg) {
  if (svg.size() > byte_massimi_disegno)
    return nome + ": " + std::to_string(svg.size()) + " byte, oltre il limite";
  if (std::string e = prova::errore_xml(svg); !e.empty()) return nome + ": XML: " + e;
  for (const prova::elemento_svg& e : prova::elementi_svg(svg)) {
    for (const auto& [a, v] : e.attributi) {
      if (!numerico(a)) continue;
      for (const char* brutto : {"nan", "inf", "NaN", "Inf", "INF", "NAN"})
        if (v.find(brutto) != std::string::npos) return nome + ": " + a + "=\"" + v + "\"";
    }
  }
  return {};
}

std::string controlla_disegno(const std::string& piano, const std::string& tabella,
                              const std::string& griglia) {
  disco_memoria ingresso;
  ingresso.file[nomi.linea_compilata()] = piano;
  ingresso.file[nomi.treno_compilato()] = tabella;
  ingresso.file[nomi.griglia_compilata()] = griglia;
  disco_memoria uscita;
  std::ostringstream err;
  const esito_strumento e = disegna(ingresso, uscita, nomi.nome_linea, nomi.nome_treno, "", err);
  if (e == esito_strumento::file_malformato) {
    if (!uscita.file.empty()) return "draw: disegni scritti dopo un rifiuto";
    if (std::string x = rifiuto_valido(err.str(), nomi.linea_compilata(), piano.size()); !x.empty())
      return "draw: " + x;
    return {};
  }
  if (e != esito_strumento::fatto)
    return "draw: esito inatteso " + std::to_string(static_cast<int>(e));
  if (!err.str().empty()) return "draw: messaggio senza errore: " + err.str();
  if (uscita.file.size() != 2 || !uscita.file.count(nomi.pianta()) ||
      !uscita.file.count(nomi.profilo()))
    return "draw: non i due disegni";
  for (const auto& [nome, svg] : uscita.file)
    if (std::string x = controlla_svg(nome, svg); !x.empty()) return "draw: " + x;
  return {};
}

}  // namespace

std::string ingresso_letture(std::string_view piano, std::string_view tabella,
                             std::string_view griglia, unsigned char opzioni, int16_t da_ettometri,
                             int16_t a_ettometri) {
  std::string r(1, static_cast<char>(opzioni));
  metti_le(r, piano.size(), 4);
  metti_le(r, tabella.size(), 4);
  metti_le(r, static_cast<uint16_t>(da_ettometri), 2);
  metti_le(r, static_cast<uint16_t>(a_ettometri), 2);
  r.append(piano);
  r.append(tabella);
  r.append(griglia);
  return r;
}

std::string controlla_letture(std::string_view ingresso) {
  if (ingresso.size() < intestazione_letture) return {};
  const auto opzioni = static_cast<unsigned char>(ingresso[0]);
  std::string_view resto = ingresso.substr(intestazione_letture);
  const auto prendi = [&resto](uint32_t n) {
    const std::string_view parte = resto.substr(0, n);
    resto.remove_prefix(parte.size());
    return std::string(parte);
  };
  const std::string piano = prendi(u32(ingresso, 1));
  const std::string tabella = prendi(u32(ingresso, 5));
  const std::string griglia(resto);

  opzioni_ispezione o;
  o.tutto = (opzioni & 1) != 0;
  if ((opzioni & 2) != 0) {
    o.da = i16(ingresso, 9) * 100.0;
    o.a = i16(ingresso, 11) * 100.0;
  }
  bool tutti = true;
  const struct {
    tipo_file tipo;
    std::string nome;
    const std::string& dati;
  } file[] = {{tipo_file::piano, nomi.linea_compilata(), piano},
              {tipo_file::tabella, nomi.treno_compilato(), tabella},
              {tipo_file::griglia, nomi.griglia_compilata(), griglia}};
  for (const auto& f : file) {
    bool decodificato = false;
    if (std::string x = controlla_ispezione(f.tipo, f.nome, f.dati, o, decodificato); !x.empty())
      return x;
    tutti = tutti && decodificato;
  }
  if (!tutti) return {};
  return controlla_disegno(piano, tabella, griglia);
}

}  // namespace scenario
