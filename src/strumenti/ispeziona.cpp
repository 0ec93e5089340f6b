#include "strumenti/ispeziona.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

#include "compiler/misure_griglia.h"
#include "compiler/record.h"
#include "sources/nome_stampabile.h"
#include "sources/testo_1252.h"
#include "strumenti/elementi.h"
#include "strumenti/nomi_tipi.h"

namespace scenario {

namespace {

struct campo {
  const char* nome;
  int64_t valore;
  const std::string* testo;  // the row's name, in its place among the fields
};

// A record's fields in file order, from its one description.
template <typename R>
std::vector<campo> campi(const R& r) {
  std::vector<campo> c;
  per_campi(r, [&c](const char* nome, const auto& v) {
    if constexpr (std::is_integral_v<std::remove_cvref_t<decltype(v)>>) {
      c.push_back({nome, v, nullptr});
    } else {
      c.push_back({nome, 0, &v});
    }
  });
  return c;
}

std::string numero(double x) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x < 0 ? "-inf" : "inf";
  std::array<char, 32> b{};
  auto [fine, ec] = std::to_chars(b.data(), b.data() + b.size(), x);
  return ec == std::errc{} ? std::string(b.data(), fine) : std::string("?");
}

// Whole metres as kilometres with three decimals: -50 is "-0.050".
std::string km(int64_t metri) {
  const uint64_t m = metri < 0 ? 0 - static_cast<uint64_t>(metri) : static_cast<uint64_t>(metri);
  const std::string resto = std::to_string(m % 1000);
  std::string r = metri < 0 ? "-" : "";
  r += std::to_string(m / 1000);
  r += '.';
  r.append(3 - resto.size(), '0');
  return r + resto;
}

std::string dove(int64_t metri) { return std::to_string(metri) + " m (km " + km(metri) + ")"; }

// A time of day in seconds as h:mm:ss; anything negative as it stands.
std::string ora(int32_t secondi) {
  if (secondi < 0) return std::to_string(secondi) + " s";
  auto due = [](int32_t n) { return std::string(n < 10 ? "0" : "").append(std::to_string(n)); };
  return std::to_string(secondi / 3600) + ":" + due(secondi / 60 % 60) + ":" + due(secondi % 60);
}

bool nel_tratto(const opzioni_ispezione& o, double metri) {
  return (!o.da || metri >= *o.da) && (!o.a || metri <= *o.a);
}

bool tratto_dato(const opzioni_ispezione& o) { return o.da || o.a; }

// One line of a dump: its text, and the same as JSON members after the
// stored values.
struct descrizione {
  std::string testo;
  std::string json;
};

void aggiungi(descrizione& d, const std::string& testo) {
  if (testo.empty()) return;
  if (!d.testo.empty()) d.testo += ", ";
  d.testo += testo;
}

void membro(descrizione& d, const char* chiave, const std::string& valore) {
  d.json += ",\"" + std::string(chiave) + "\":" + valore;
}

// ---- grid ----

// A sign board stores vad / 5 + vas * 20: the two speeds while vad < 100.
std::string velocita_cartello(int16_t v) {
  if (v < 0) return std::to_string(v);
  return std::to_string(v / 20) + "/" + std::to_string(v % 20 * 5) + " km/h";
}

// The object in the cell, by its type code's meaning.
std::string oggetto(size_t i, const cella& c) {
  const std::string tipo(nome_tipo_cella(c.tipo_cella));
  const auto n = [](int64_t v) { return std::to_string(v); };
  switch (c.tipo_cella) {
    case cella_libera:
      if (i == 1 && (c.valore1 != 0 || c.valore2 != 0))
        return "costante " + n(c.valore1) + ", codice_gara_og " + n(c.valore2);
      if (c.valore1 != 0 || c.valore2 != 0 || c.valore3 != 0 || c.valore4 != 0)
        return "valori " + n(c.valore1) + " " + n(c.valore2) + " " + n(c.valore3) + " " +
               n(c.valore4);
      return {};
    case segnale:
      return tipo + " s1d1 " + n(c.valore1) + ", s2d2 " + n(c.valore2) + ", s3d3 " + n(c.valore3) +
             ", rapp*10+sx*3+dx " + n(c.valore4) + ", tempo " + n(c.tempo_segnale);
    case fine_rallentamento:
    case inizio_rallentamento:
      return tipo + " " + n(c.valore1) + " km/h, d_v " + n(c.valore2) + ", f_tt " + n(c.valore3);
    case avviso_rallentamento:
      return tipo + " " + n(c.valore1) + " km/h, d_v " + n(c.valore2);
    case approccio_rallentamento:
      return tipo + " passo " + n(c.valore1) + ", d_v " + n(c.valore2);
    case indicatore_velocita:
      return tipo + " A " + velocita_cartello(c.valore1) + ", B " + velocita_cartello(c.valore2) +
             ", C " + velocita_cartello(c.valore3) + ", strisce " + n(c.valore4);
    case punto_stazione:
    case cartello_indicatore:
      return tipo + " riga " + n(c.valore1);
    case punto_valore:
      return tipo + " " + n(c.valore1);
    case marcatore_montagna:
    case punto_abbattimento:
      return tipo;
    default:
      return tipo + " " + n(c.tipo_cella) + " valori " + n(c.valore1) + " " + n(c.valore2) + " " +
             n(c.valore3) + " " + n(c.valore4);
  }
}

int limite_kmh(const cella& c) { return c.vel_limite * 5; }
int pendenza_per_mille(const cella& c) { return c.pendenza - 100; }

std::string profili(const cella& c) {
  std::string r = "limite " + std::to_string(limite_kmh(c)) + " km/h, pendenza " +
                  std::to_string(pendenza_per_mille(c)) + " per mille, aderenza " +
                  std::to_string(c.aderenza);
  if (c.tipo_montagna != 0) r += ", montagna " + std::to_string(c.tipo_montagna);
  if (c.avvicinamento != 0) r += ", avvicinamento " + std::to_string(c.avvicinamento);
  return r;
}

// Nothing placed, nothing stored beside the profiles, and the profiles of
// the cell shown before it.
bool libera_da_mostrare(const cella& c, const cella* prima) {
  if (prima == nullptr) return false;
  cella profili_di_prima = *prima;
  profili_di_prima.tipo_cella = cella_libera;
  profili_di_prima.valore1 = profili_di_prima.valore2 = profili_di_prima.valore3 =
      profili_di_prima.valore4 = 0;
  profili_di_prima.tempo_segnale = profili_di_prima.avvicinamento = 0;
  return c == profili_di_prima;
}

descrizione descrivi_cella(size_t i, const cella& c) {
  descrizione d;
  const int64_t metri = metri_oggetto(static_cast<int64_t>(i));
  aggiungi(d, oggetto(i, c));
  d.testo = "cella " + std::to_string(i) + " a " + dove(metri) + ": " +
            (d.testo.empty() ? "" : d.testo + "; ") + profili(c);
  d.json = "{\"indice\":" + std::to_string(i);
  for (const campo& k : campi(c)) membro(d, k.nome, std::to_string(k.valore));
  membro(d, "nome_tipo", testo_json(nome_tipo_cella(c.tipo_cella)));
  membro(d, "metri", std::to_string(metri));
  membro(d, "km", km(metri));
  membro(d, "limite_kmh", std::to_string(limite_kmh(c)));
  membro(d, "pendenza_per_mille", std::to_string(pendenza_per_mille(c)));
  membro(d, "descrizione", testo_json(oggetto(i, c)));
  d.json += "}";
  return d;
}

// ---- table ----

// The row's position in metres, for the range: stations and kilometric
// origins have one, the other rows none.
std::optional<int64_t> posizione_riga(std::string_view ruolo, const voce_scenario& v) {
  if (ruolo == "stazione") return v.posizione;
  if (ruolo == "progressiva") return v.inizio;
  return std::nullopt;
}

// The fields by their meaning in a row of each role; `usati` lists the
// stored fields said, the others are added when not zero.
std::string significato(std::string_view ruolo, const voce_scenario& v,
                        std::vector<std::string_view>& usati) {
  const auto n = [](int64_t x) { return std::to_string(x); };
  if (ruolo == "stazione") {
    usati = {"tipo",  "inizio", "fine",  "posizione", "dato1", "dato2",  "dato3", "dato4",
             "dato5", "dato6",  "dato7", "dato8",     "dato9", "dato10", "orario"};
    return testo_citato(v.nome) + " a " + dove(v.posizione) + ", tipo " + n(v.tipo) + ", area da " +
           n(v.inizio) + " a " + n(v.fine) + " m, orario " + ora(v.orario) + ", fermata " +
           n(v.dato10) + ", campi 4-12 " + n(v.dato1) + " " + n(v.dato2) + " " + n(v.dato3) + " " +
           n(v.dato4) + " " + n(v.dato5) + " " + n(v.dato6) + " " + n(v.dato7) + " " + n(v.dato8) +
           " " + n(v.dato9);
  }
  if (ruolo == "cartello") return testo_citato(v.nome);
  if (ruolo == "progressiva") {
    usati = {"inizio", "fine", "posizione"};
    const std::string verso = v.posizione == 1   ? "decrescente"
                              : v.posizione == 0 ? "crescente"
                                                 : "segno " + n(v.posizione);
    return "da " + dove(v.inizio) + ", valore " + n(v.fine) + " m, " + verso;
  }
  if (ruolo == "treno") {
    usati = {"inizio", "fine", "posizione"};
    return "massa frenata " + n(v.inizio) + " %, lunghezza percorso " + dove(v.fine) +
           ", vetture " + n(v.posizione);
  }
  if (ruolo == "linea") {
    usati = {"inizio", "posizione", "fine", "dato4", "orario"};
    return testo_citato(v.nome) + ", sfondo uno " + n(v.inizio) + ", sfondo due " + n(v.posizione) +
           ", sfondo tre " + n(v.fine) + ", costante " + n(v.dato4) + ", codice_gara_st " +
           n(v.orario);
  }
  if (ruolo == "servizio") {
    usati = {"inizio", "fine", "posizione", "dato4", "dato7", "dato8", "dato9"};
    const int64_t orologio = (int64_t{v.dato7} * 60 + v.dato8) * 60 + v.dato9;
    return testo_citato(v.nome) + ", ripetizione segnali da " + n(v.inizio) + " a " + n(v.fine) +
           " m, codici " + n(v.posizione) + ", sabbia " + n(v.dato4) + ", orologio " +
           (v.dato7 >= 0 && v.dato8 >= 0 && v.dato9 >= 0
                ? ora(static_cast<int32_t>(orologio))
                : n(v.dato7) + " " + n(v.dato8) + " " + n(v.dato9));
  }
  return {};
}

descrizione descrivi_riga(size_t r, const voce_scenario& v) {
  descrizione d;
  const char* ru = ruolo_riga(r, v);
  if (ru != nullptr) {
    std::vector<std::string_view> usati;
    aggiungi(d, significato(ru, v, usati));
    for (const campo& k : campi(v)) {
      if (k.valore != 0 && std::find(usati.begin(), usati.end(), k.nome) == usati.end())
        aggiungi(d, std::string(k.nome) + " " + std::to_string(k.valore));
    }
    const bool con_nome = std::string_view(ru) == "progressiva" || std::string_view(ru) == "treno";
    if (con_nome && !v.nome.empty()) aggiungi(d, "nome " + testo_citato(v.nome));
  }
  d.testo = "riga " + std::to_string(r) + (ru != nullptr ? " (" + std::string(ru) + ")" : "") +
            ":" + (d.testo.empty() ? " vuota" : " " + d.testo);
  d.json = "{\"indice\":" + std::to_string(r);
  membro(d, "ruolo", ru != nullptr ? testo_json(ru) : std::string("null"));
  for (const campo& k : campi(v)) {
    if (k.testo == nullptr) {
      membro(d, k.nome, std::to_string(k.valore));
      continue;
    }
    membro(d, k.nome, testo_json(*k.testo));
    std::string esa;
    for (const char c : *k.testo) {
      static constexpr char cifre[] = "0123456789ABCDEF";
      esa += cifre[static_cast<unsigned char>(c) >> 4];
      esa += cifre[static_cast<unsigned char>(c) & 15];
    }
    membro(d, "nome_byte", "\"" + esa + "\"");
  }
  if (ru != nullptr) {
    if (const auto p = posizione_riga(ru, v)) {
      membro(d, "metri", std::to_string(*p));
      membro(d, "km", km(*p));
    }
  }
  std::string significato_json = d.testo.substr(d.testo.find(':') + 2);
  membro(d, "descrizione", testo_json(significato_json));
  d.json += "}";
  return d;
}

bool riga_da_mostrare(size_t r, const voce_scenario& v, const opzioni_ispezione& o) {
  const char* ru = ruolo_riga(r, v);
  if (!o.tutto && ru == nullptr) return false;
  if (!tratto_dato(o)) return true;
  const auto p = ru != nullptr ? posizione_riga(ru, v) : std::nullopt;
  return p && nel_tratto(o, static_cast<double>(*p));
}

// ---- plan ----

const char* nome_valore(tipo_valore t) {
  switch (t) {
    case tipo_valore::intero:
      return "intero";
    case tipo_valore::doppio:
      return "doppio";
    case tipo_valore::vuoto:
      break;
  }
  return "vuoto";
}

// A JSON number, or for a value JSON cannot hold (not finite) its name as a string.
std::string numero_json(double x) {
  const std::string n = numero(x);
  return std::isfinite(x) ? n : "\"" + n + "\"";
}

std::string valore_testo(const tracciato& t, int32_t m, int colonna) {
  return t.tipo(m, colonna) == tipo_valore::vuoto ? "vuoto" : numero(t.valore(m, colonna));
}

std::string valore_json(const tracciato& t, int32_t m, int colonna) {
  return t.tipo(m, colonna) == tipo_valore::vuoto ? "null" : numero_json(t.valore(m, colonna));
}

bool punto_da_mostrare(const tracciato& t, int32_t m, const opzioni_ispezione& o) {
  if (!nel_tratto(o, m)) return false;
  return o.tutto || t.tipo(m, 0) != tipo_valore::vuoto || t.tipo(m, 1) != tipo_valore::vuoto;
}

const char* nome_tipo_file(tipo_file t) {
  switch (t) {
    case tipo_file::piano:
      return "piano";
    case tipo_file::tabella:
      return "tabella";
    case tipo_file::griglia:
      break;
  }
  return "griglia";
}

// One dump: in text a heading and a line per element; in JSON one object
// with the list of elements, one a line.
class dump {
 public:
  dump(std::ostream& out, const opzioni_ispezione& o, const std::string& nome, tipo_file tipo,
       size_t quanti, const char* cosa, const char* chiave)
      : out_(out), json_(o.json) {
    if (json_) {
      out_ << "{\"file\":" << nome_json(nome) << ",\"tipo\":\"" << nome_tipo_file(tipo) << "\",\""
           << chiave << "\":[";
    } else {
      out_ << nome_tipo_file(tipo) << ' ' << nome_stampabile(nome) << ": " << quanti << ' ' << cosa
           << "\n";
    }
  }
  void elemento(const descrizione& d) {
    if (json_) {
      out_ << (primo_ ? "\n" : ",\n") << d.json;
    } else {
      out_ << d.testo << "\n";
    }
    primo_ = false;
  }
  ~dump() {
    if (json_) out_ << "\n]}\n";
  }

 private:
  std::ostream& out_;
  bool json_;
  bool primo_ = true;
};

descrizione descrivi_punto(const tracciato& t, int32_t m) {
  return {"punto " + std::to_string(m) + " (km " + km(m) + "): x " + valore_testo(t, m, 0) +
              ", y " + valore_testo(t, m, 1),
          "{\"m\":" + std::to_string(m) + ",\"km\":" + km(m) + ",\"x\":" + valore_json(t, m, 0) +
              ",\"tipo_x\":\"" + nome_valore(t.tipo(m, 0)) + "\",\"y\":" + valore_json(t, m, 1) +
              ",\"tipo_y\":\"" + nome_valore(t.tipo(m, 1)) + "\"}"};
}

}  // namespace

void scrivi_griglia(std::ostream& out, const std::string& nome, const std::vector<cella>& celle,
                    const opzioni_ispezione& o) {
  dump d(out, o, nome, tipo_file::griglia, celle.size(), "celle", "celle");
  const cella* mostrata = nullptr;
  // A stream that failed takes nothing more: the caller reports it.
  for (size_t i = 0; i < celle.size() && out; ++i) {
    if (!nel_tratto(o, static_cast<double>(metri_oggetto(static_cast<int64_t>(i))))) continue;
    if (!o.tutto && libera_da_mostrare(celle[i], mostrata)) continue;
    mostrata = &celle[i];
    d.elemento(descrivi_cella(i, celle[i]));
  }
}

void scrivi_tabella(std::ostream& out, const std::string& nome, const tabella& t,
                    const opzioni_ispezione& o) {
  dump d(out, o, nome, tipo_file::tabella, t.size(), "righe", "righe");
  for (size_t r = 0; r < t.size() && out; ++r) {
    if (riga_da_mostrare(r, t[r], o)) d.elemento(descrivi_riga(r, t[r]));
  }
}

void scrivi_piano(std::ostream& out, const std::string& nome, const tracciato& t,
                  const opzioni_ispezione& o) {
  const int32_t punti = t.allocato() ? t.fine() + 1 : 0;
  dump d(out, o, nome, tipo_file::piano, static_cast<size_t>(punti), "punti", "punti");
  for (int32_t m = 0; m < punti && out; ++m) {
    if (punto_da_mostrare(t, m, o)) d.elemento(descrivi_punto(t, m));
  }
}

esito_strumento ispeziona(std::string_view dati, tipo_file tipo, const std::string& nome,
                          const opzioni_ispezione& o, std::ostream& out, std::ostream& err) {
  std::optional<difetto> d;
  switch (tipo) {
    case tipo_file::griglia: {
      std::vector<cella> celle;
      d = decodifica_griglia(dati, celle);
      if (!d) scrivi_griglia(out, nome, celle, o);
      break;
    }
    case tipo_file::tabella: {
      tabella t{};
      d = decodifica_tabella(dati, t);
      if (!d) scrivi_tabella(out, nome, t, o);
      break;
    }
    case tipo_file::piano: {
      tracciato t;
      d = decodifica_piano(dati, t);
      if (!d) scrivi_piano(out, nome, t, o);
      break;
    }
  }
  if (!d) return esito_strumento::fatto;
  err << "compila_scenario: " << descrivi_difetto(nome, tipo, *d) << "\n";
  return esito_strumento::file_malformato;
}

}  // namespace scenario
