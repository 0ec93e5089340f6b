// The parser's warnings: places where what an author wrote is read as
// something else, or left out. They only append to diagnostica::avvisi, so
// no compiled byte depends on them.
#include <algorithm>
#include <string>

#include "compiler/memorizza_dati_interno.h"
#include "sources/parole_chiave.h"
#include "sources/testo_1252.h"

namespace scenario::lettura {

namespace {

std::string_view senza_spazi(std::string_view t) {
  const size_t a = t.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return t.substr(a, t.find_last_not_of(' ') - a + 1);
}

// A field with a quote cut to 40 bytes, so a long line is never copied whole.
std::string tra_virgolette(std::string_view t) {
  t = senza_spazi(t);
  std::string r = "\"";
  r += t.substr(0, 40);
  r += t.size() > 40 ? "...\"" : "\"";
  return r;
}

bool numerico(std::string_view t) {
  t = senza_spazi(t);
  if (!t.empty() && t[0] == '-') t.remove_prefix(1);
  return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos;
}

template <typename elenco>
int indice_intestazione(const elenco& e, std::string_view campo) {
  for (size_t i = 0; i < e.size(); ++i) {
    if (contiene(campo, e[i])) return static_cast<int>(i);
  }
  return -1;
}

int indice_intestazione(const controlli& c, std::string_view campo) {
  return c.linea ? indice_intestazione(intestazioni_linea, campo)
                 : indice_intestazione(intestazioni_treno, campo);
}

std::string_view nome_intestazione(const controlli& c, int i) {
  return c.linea ? intestazioni_linea[static_cast<size_t>(i)]
                 : intestazioni_treno[static_cast<size_t>(i)];
}

void osserva_intestazione(analisi& a, const std::string& chiave, const luogo_sorgente& l) {
  controlli& c = a.c;
  const int i = indice_intestazione(c, chiave);
  if (i < 0) {
    std::string t = "intestazione sconosciuta " + tra_virgolette(chiave);
    if (const std::string_view v = intestazione_piu_vicina(chiave, c.linea); !v.empty()) {
      t += " (forse: " + std::string(v) + ")";
    }
    avvisa(a, l, t);
    return;
  }
  if (i <= c.ultima_intestazione) {
    avvisa(a, l,
           "sezione " + std::string(nome_intestazione(c, i)) + " fuori ordine: viene dopo " +
               std::string(nome_intestazione(c, c.ultima_intestazione)));
  } else if (i > c.ultima_intestazione + 1 && c.ultima_intestazione >= 0) {
    avvisa(a, l,
           "manca l'intestazione " + std::string(nome_intestazione(c, c.ultima_intestazione + 1)) +
               " prima di " + std::string(nome_intestazione(c, i)));
  }
  c.ultima_intestazione = std::max(c.ultima_intestazione, i);
  if (nome_intestazione(c, i) == "[fine]") c.fine_vista = true;
}

// How the tools show these bytes: each one a Windows-1252 character.
std::string come_1252(std::string_view byte) {
  std::string r;
  for (const char b : byte) {
    const auto u = static_cast<unsigned char>(b);
    char32_t c = carattere_1252(u);
    // The five bytes the code page leaves undefined stay C1 controls there.
    if (c >= 0x80 && c < 0xA0) c = '?';
    aggiungi_utf8(r, c);
  }
  return r;
}

std::string esadecimale(unsigned char c) {
  const char* cifre = "0123456789ABCDEF";
  return std::string("0x") + cifre[c >> 4] + cifre[c & 15];
}

// The length of the well-formed UTF-8 sequence of two to four bytes at the
// start of t, or 0.
size_t lunghezza_utf8(std::string_view t) {
  const auto u = static_cast<unsigned char>(t[0]);
  const size_t n = u >= 0xF0 && u < 0xF5 ? 4 : u >= 0xE0 ? 3 : u >= 0xC2 && u < 0xE0 ? 2 : 0;
  if (n == 0 || t.size() < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(t[i]) & 0xC0) != 0x80) return 0;
  }
  return n;
}

// The built-in texts' way: an accented vowel as the vowel and an apostrophe.
std::string in_ascii(std::string_view seq) {
  struct voce {
    std::string_view utf8;
    std::string_view ascii;
  };
  static constexpr voce voci[] = {
      {"\u00C0", "A'"}, {"\u00C8", "E'"}, {"\u00C9", "E'"}, {"\u00CC", "I'"},
      {"\u00D2", "O'"}, {"\u00D9", "U'"}, {"\u00E0", "a'"}, {"\u00E8", "e'"},
      {"\u00E9", "e'"}, {"\u00EC", "i'"}, {"\u00F2", "o'"}, {"\u00F9", "u'"},
      {"\u2019", "'"},  {"\u2018", "'"},  {"\u201C", "\""}, {"\u201D", "\""}};
  for (const voce& v : voci) {
    if (v.utf8 == seq) return std::string("\"").append(v.ascii).append("\"");
  }
  return "solo caratteri ASCII";
}

}  // namespace

void avvisa(analisi& a, const luogo_sorgente& l, std::string testo, bool lettura) {
  a.s.diagnostica.avvisi.push_back({l, std::move(testo), lettura});
}

void osserva_chiave(analisi& a, const std::string& chiave, const luogo_sorgente& l) {
  controlli& c = a.c;
  if (senza_spazi(chiave).empty()) return;
  if (e_intestazione(chiave)) {
    osserva_intestazione(a, chiave, l);
    return;
  }
  if (c.fine_vista && !c.avvisato_dopo_fine) {
    c.avvisato_dopo_fine = true;
    avvisa(a, l, "riga dopo [fine]: il file dovrebbe finire con [fine]");
  }
  for (const tipo_riga& t : tipi_riga) {
    if (t.sezione == c.sezione && riconosce(chiave, t.quale))
      ++c.contate[static_cast<size_t>(t.quale)];
  }
  if (riconosciuta(chiave, c.sezione) || e_commento(chiave)) return;
  // One warning a line: the values of a dropped row are read as keyword fields too.
  if (l.riga == c.riga_sconosciuta) return;
  c.riga_sconosciuta = l.riga;
  if (numerico(chiave)) {
    avvisa(a, l,
           "valore in piu' " + tra_virgolette(chiave) + ": letto come parola chiave e ignorato");
    return;
  }
  std::string t = "parola chiave sconosciuta " + tra_virgolette(chiave) + ": riga ignorata";
  if (const std::string_view v = piu_vicina(chiave, c.sezione); !v.empty()) {
    t += " (forse: " + std::string(v) + ")";
    if (v == tipo_di(riga::lunghezza).scritta) c.lunghezza_simile = l;
  }
  avvisa(a, l, t);
}

void osserva_fine(analisi& a, const sorgente& f, const std::string* non_letto) {
  // A source without "[generale]" was not read at all: warned already.
  if (a.c.fine_vista || !a.c.generale) return;
  if (non_letto != nullptr && contiene(*non_letto, "[fine]")) {
    a.c.fine_vista = true;
    return;
  }
  std::string t = "il file finisce prima di [fine]";
  if (non_letto != nullptr && riconosciuta(*non_letto, a.c.sezione)) {
    t += ": l'ultima riga " + tra_virgolette(*non_letto) + " non e' letta";
  }
  avvisa(a, f.luogo_campo(), t);
}

void osserva_mancanti(analisi& a, const std::string& file) {
  const controlli& c = a.c;
  const auto manca = [&](riga r) { return c.contate[static_cast<size_t>(r)] == 0; };
  const luogo_sorgente l = c.generale.value_or(luogo_sorgente{file, 0, 0});
  if (c.linea) {
    if (a.s.genera_linea != 0 && manca(riga::curva)) {
      avvisa(a, l, "nessuna riga di curva: il tracciato e' tutto rettilineo");
    }
    return;
  }
  if (!c.generale) return;  // the source was not used: warned already
  if (manca(riga::vetture)) avvisa(a, l, "manca \"numero vetture\": il treno ha 0 vetture");
  if (manca(riga::frenata)) avvisa(a, l, "manca \"percentuale massa frenata\": vale 0");
  if (manca(riga::velocita)) avvisa(a, l, "nessun limite di velocita': 0 km/h su tutta la linea");
}

void posizione_crescente(analisi& a, std::optional<int32_t>& ultima, int32_t p,
                         std::string_view cosa, const luogo_sorgente& l) {
  if (ultima && p <= *ultima) {
    avvisa(a, l,
           std::string(cosa) + " alla posizione " + std::to_string(p) +
               " m non dopo la precedente (" + std::to_string(*ultima) + " m)");
  }
  ultima = p;
}

void valore_in_campo(analisi& a, int64_t valore, int64_t minimo, int64_t massimo,
                     int64_t memorizzato, std::string_view cosa, const luogo_sorgente& l) {
  if (valore >= minimo && valore <= massimo) return;
  avvisa(a, l,
         std::string(cosa) + " " + std::to_string(valore) + " fuori da " + std::to_string(minimo) +
             ".." + std::to_string(massimo) + ": memorizzato come " + std::to_string(memorizzato));
}

void testo_ascii(analisi& a, const std::string& t, const sorgente& f) {
  const auto e_alto = [](char c) { return (c & 0x80) != 0; };
  const auto alto = std::find_if(t.begin(), t.end(), e_alto);
  if (alto == t.end()) return;
  const size_t da = static_cast<size_t>(alto - t.begin());
  // The text is the field as written less its quotes, so its first high byte
  // is the field's; the field, line ends and all, tells where it stands.
  const std::string_view grezzo = f.campo_grezzo();
  const auto nel_campo = std::find_if(grezzo.begin(), grezzo.end(), e_alto);
  const luogo_sorgente dove = f.luogo_nel_campo(static_cast<size_t>(nel_campo - grezzo.begin()));
  const std::string_view resto = std::string_view(t).substr(da);
  const size_t n = lunghezza_utf8(resto);
  if (n == 0) {
    avvisa(a, dove,
           "byte " + esadecimale(static_cast<unsigned char>(t[da])) +
               " nel testo: gli strumenti lo mostrano come \"" + come_1252(resto.substr(0, 1)) +
               "\" (Windows-1252); i testi dello scenario predefinito usano solo ASCII");
    return;
  }
  const std::string_view seq = resto.substr(0, n);
  avvisa(a, dove,
         "carattere UTF-8 \"" + std::string(seq) +
             "\" nel testo: i file compilati hanno un byte per carattere e gli strumenti lo "
             "mostrano come \"" +
             come_1252(seq) + "\"; scrivere " + in_ascii(seq));
}

}  // namespace scenario::lettura
