#include "driver/opzioni.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>

#include "driver/stato_uscita.h"

#ifndef SCENARIO_VERSIONE
#define SCENARIO_VERSIONE "0.0.0"
#endif

namespace scenario {

namespace {

// One option: its names, the name of its argument in the help (empty for a
// switch), its help, and where it goes in the request: a switch sets a flag,
// an option with an argument fills a text, checked by `verifica` (an empty
// answer: accepted). Options that name no command (--help, --version) hold
// for all and win over everything else on the line.
struct descrizione_opzione {
  std::string_view lunga;
  char corta;  // '\0': none
  std::string_view argomento;
  std::string_view aiuto;
  bool richiesta::*interruttore = nullptr;
  std::optional<std::string> richiesta::*valore = nullptr;
  std::string (*verifica)(const std::string& scritta, const std::string& argomento) = nullptr;
  bool generale = false;
};

std::string non_vuoto(const std::string& scritta, const std::string& argomento) {
  return argomento.empty() ? "l'opzione " + scritta + " richiede un argomento non vuoto" : "";
}

std::string tipo_ammesso(const std::string& scritta, const std::string& argomento) {
  if (argomento == "plan" || argomento == "table" || argomento == "grid") return {};
  return "valore non valido per " + scritta + ": '" + argomento + "' (ammessi: plan, table, grid)";
}

std::string chilometri(const std::string& scritta, const std::string& argomento) {
  if (metri_da_km(argomento)) return {};
  return "valore non valido per " + scritta + ": '" + argomento + "' (chilometri, come 30 o 30.5)";
}

const std::array<descrizione_opzione, 16> opzioni{{
    {"dir", 'C', "CARTELLA", "cartella dei file letti\n(predefinita: la cartella corrente)",
     nullptr, &richiesta::cartella, non_vuoto},
    {"output-dir", 'o', "CARTELLA",
     "cartella dei file scritti, creata\nse manca (predefinita: quella dei file letti)", nullptr,
     &richiesta::cartella_uscita, non_vuoto},
    {"force", 'f', "", "sostituisce i sorgenti gia' presenti", &richiesta::forza},
    {"json", '\0', "", "scrive JSON invece del testo", &richiesta::json},
    {"kind", '\0', "TIPO", "il tipo del file, plan, table o grid,\ninvece di dedurlo dal nome",
     nullptr, &richiesta::tipo, tipo_ammesso},
    {"all", 'a', "", "anche le righe vuote e le celle libere", &richiesta::tutto},
    {"warnings-as-errors", '\0', "", "un avviso e' un errore (stato 3, nessun file\nscritto)",
     &richiesta::avvisi_errori},
    {"no-warnings", 'w', "", "non mostra gli avvisi", &richiesta::senza_avvisi},
    {"watch", '\0', "",
     "compila, poi di nuovo a ogni salvataggio\ndi un sorgente (Ctrl-C per finire)",
     &richiesta::sorveglia},
    {"view", '\0', "", "scrive anche LINEA_TRENO_vista.html, con\ni messaggi della compilazione",
     &richiesta::vista},
    {"draw", '\0', "", "scrive anche i due disegni di draw", &richiesta::disegni},
    {"poll", '\0', "",
     "con --watch: rilegge i sorgenti ogni mezzo\nsecondo invece di attendere gli avvisi\ndel "
     "sistema",
     &richiesta::a_intervalli},
    {"from", '\0', "KM", "solo da questo chilometro in poi", nullptr, &richiesta::da_km,
     chilometri},
    {"to", '\0', "KM", "solo fino a questo chilometro", nullptr, &richiesta::a_km, chilometri},
    {"help", 'h', "", "mostra questo aiuto ed esce", &richiesta::aiuto, nullptr, nullptr, true},
    {"version", '\0', "", "mostra la versione ed esce", &richiesta::versione, nullptr, nullptr,
     true},
}};

bool con_argomento(const descrizione_opzione& o) { return !o.argomento.empty(); }

// An option as met on the line, with its spelling for the messages.
struct incontrata {
  const descrizione_opzione* quale;
  std::string scritta;
  std::string argomento;
};

struct lettura {
  std::vector<incontrata> incontrate;
  std::vector<std::string> operandi;
  std::string errore;
};

const descrizione_opzione* per_lunga(std::string_view nome, std::string& errore) {
  const descrizione_opzione* trovata = nullptr;
  int quante = 0;
  for (const auto& o : opzioni) {
    if (o.lunga == nome) return &o;
    if (o.lunga.substr(0, nome.size()) == nome) {
      trovata = &o;
      ++quante;
    }
  }
  if (quante == 1) return trovata;
  errore = std::string(quante == 0 ? "opzione sconosciuta: --" : "opzione ambigua: --") +
           std::string(nome);
  return nullptr;
}

const descrizione_opzione* per_corta(char c) {
  for (const auto& o : opzioni) {
    if (o.corta == c) return &o;
  }
  return nullptr;
}

// "--name", "--name=value" or "--name value"; false on a fault.
bool leggi_lunga(const std::vector<std::string>& a, size_t& i, lettura& l) {
  const std::string_view testo = std::string_view(a[i]).substr(2);
  const size_t uguale = testo.find('=');
  const std::string_view nome = testo.substr(0, uguale);
  const descrizione_opzione* o = per_lunga(nome, l.errore);
  if (o == nullptr) return false;
  const std::string scritta = "--" + std::string(o->lunga);
  if (!con_argomento(*o)) {
    if (uguale != std::string_view::npos) {
      l.errore = "l'opzione " + scritta + " non accetta argomenti";
      return false;
    }
    l.incontrate.push_back({o, scritta, {}});
    return true;
  }
  if (uguale != std::string_view::npos) {
    l.incontrate.push_back({o, scritta, std::string(testo.substr(uguale + 1))});
    return true;
  }
  if (i + 1 >= a.size()) {
    l.errore = "l'opzione " + scritta + " richiede un argomento";
    return false;
  }
  l.incontrate.push_back({o, scritta, a[++i]});
  return true;
}

// A cluster of short options; one that takes an argument takes the rest of
// the word, or the next word.
bool leggi_corte(const std::vector<std::string>& a, size_t& i, lettura& l) {
  const std::string parola = a[i];
  for (size_t k = 1; k < parola.size(); ++k) {
    const descrizione_opzione* o = per_corta(parola[k]);
    if (o == nullptr) {
      l.errore = "opzione sconosciuta: -" + std::string(1, parola[k]);
      return false;
    }
    std::string scritta = "-";
    scritta += parola[k];
    if (!con_argomento(*o)) {
      l.incontrate.push_back({o, scritta, {}});
      continue;
    }
    if (k + 1 < parola.size()) {
      l.incontrate.push_back({o, scritta, parola.substr(k + 1)});
    } else if (i + 1 < a.size()) {
      l.incontrate.push_back({o, scritta, a[++i]});
    } else {
      l.errore = "l'opzione " + scritta + " richiede un argomento";
      return false;
    }
    return true;
  }
  return true;
}

lettura leggi(const std::vector<std::string>& a) {
  lettura l;
  bool solo_operandi = false;
  for (size_t i = 0; i < a.size(); ++i) {
    const std::string& p = a[i];
    if (solo_operandi || p.size() < 2 || p[0] != '-') {
      l.operandi.push_back(p);
    } else if (p == "--") {
      solo_operandi = true;
    } else if (p[1] == '-' ? !leggi_lunga(a, i, l) : !leggi_corte(a, i, l)) {
      return l;
    }
  }
  return l;
}

const descrizione_comando* per_parola(std::span<const descrizione_comando> comandi,
                                      std::string_view parola) {
  for (const auto& c : comandi) {
    if (c.parola == parola) return &c;
  }
  return nullptr;
}

bool ammessa(const descrizione_comando& c, const descrizione_opzione& o) {
  return std::find(c.opzioni.begin(), c.opzioni.end(), o.lunga) != c.opzioni.end();
}

esito_opzioni errore(std::string testo) { return {std::nullopt, std::move(testo)}; }

// "a, b o c".
std::string elenco(std::span<const descrizione_comando> comandi) {
  std::string r;
  for (size_t i = 0; i < comandi.size(); ++i) {
    if (i > 0) r += i + 1 == comandi.size() ? " o " : ", ";
    r += comandi[i].parola;
  }
  return r;
}

std::string unisci(const std::vector<std::string_view>& parole, std::string_view tra) {
  std::string r;
  for (size_t i = 0; i < parole.size(); ++i) {
    if (i > 0) r += tra;
    r += parole[i];
  }
  return r;
}

// Puts one option of the command into the request; a fault is its message.
std::string applica(richiesta& r, const incontrata& o) {
  const descrizione_opzione& d = *o.quale;
  if (d.verifica != nullptr) {
    if (std::string e = d.verifica(o.scritta, o.argomento); !e.empty()) return e;
  }
  if (d.interruttore != nullptr) r.*d.interruttore = true;
  if (d.valore != nullptr) r.*d.valore = o.argomento;
  return {};
}

// `testo` in a column from `colonna` on, after `testa` on the first line; a
// "\n" in `testo` starts a further line in the same column.
std::string in_colonna(const std::string& testa, std::string_view testo, size_t colonna) {
  std::string r = testa;
  r += std::string(testa.size() < colonna ? colonna - testa.size() : 1, ' ');
  for (const char c : testo) {
    r += c;
    if (c == '\n') r += std::string(colonna, ' ');
  }
  return r + "\n";
}

std::string nome_opzione(const descrizione_opzione& o) {
  std::string r = o.corta != '\0' ? std::string("  -") + o.corta + ", --" : "      --";
  r += o.lunga;
  if (con_argomento(o)) r.append("=").append(o.argomento);
  return r;
}

// The commands that accept the option, for its help line.
std::string per_chi(std::span<const descrizione_comando> comandi, const descrizione_opzione& o) {
  std::vector<std::string_view> chi;
  for (const auto& c : comandi) {
    if (ammessa(c, o)) chi.push_back(c.parola);
  }
  return chi.empty() ? std::string() : unisci(chi, ", ") + ": ";
}

}  // namespace

esito_opzioni interpreta_opzioni(const std::vector<std::string>& argomenti,
                                 std::span<const descrizione_comando> comandi) {
  const lettura l = leggi(argomenti);
  // --help and --version win over everything else on the line, as with
  // every GNU program, once the line before them could be read.
  for (const incontrata& o : l.incontrate) {
    if (o.quale->generale) {
      richiesta r;
      r.*o.quale->interruttore = true;
      return {r, {}};
    }
  }
  if (!l.errore.empty()) return errore(l.errore);
  if (l.operandi.empty()) return errore("comando mancante (" + elenco(comandi) + ")");
  const descrizione_comando* c = per_parola(comandi, l.operandi.front());
  if (c == nullptr) return errore("comando sconosciuto: " + l.operandi.front());

  richiesta r;
  r.comando = c;
  r.operandi.assign(l.operandi.begin() + 1, l.operandi.end());
  const std::string parola(c->parola);
  if (r.operandi.size() != c->operandi.size()) {
    return errore(parola + " vuole " + unisci(c->operandi, " ") + " (" +
                  std::to_string(r.operandi.size()) +
                  (r.operandi.size() == 1 ? " argomento dato)" : " argomenti dati)"));
  }
  for (const incontrata& o : l.incontrate) {
    if (!ammessa(*c, *o.quale)) return errore("l'opzione " + o.scritta + " non vale per " + parola);
    if (std::string e = applica(r, o); !e.empty()) return errore(e);
  }
  return {r, {}};
}

std::optional<double> metri_da_km(std::string_view testo) {
  std::string t(testo);
  std::replace(t.begin(), t.end(), ',', '.');
  double km = 0;
  const auto [fine, ec] = std::from_chars(t.data(), t.data() + t.size(), km);
  if (t.empty() || ec != std::errc{} || fine != t.data() + t.size() || !std::isfinite(km))
    return std::nullopt;
  return km * 1000;
}

std::string testo_versione() { return "compila_scenario " SCENARIO_VERSIONE "\n"; }

std::string suggerimento_aiuto() {
  return "Provare 'compila_scenario --help' per maggiori informazioni.\n";
}

std::string testo_aiuto(std::span<const descrizione_comando> comandi) {
  std::string r =
      "Uso: compila_scenario\n"
      "  o:  compila_scenario COMANDO ARGOMENTI... [OPZIONI]\n"
      "Senza argomenti compila lo scenario predefinito (linea Brossalenta_Morla, treno\n"
      "iR31457) nella cartella del programma e vi scrive tutti i suoi file.\n"
      "\n"
      "Comandi per gli autori di scenari:\n";
  std::vector<std::string> teste;
  size_t colonna = 0;
  for (const auto& c : comandi) {
    teste.push_back("  " + std::string(c.parola) + " " + unisci(c.operandi, " "));
    colonna = std::max(colonna, teste.back().size() + 2);
  }
  for (size_t i = 0; i < comandi.size(); ++i) r += in_colonna(teste[i], comandi[i].aiuto, colonna);
  r += "\nOpzioni:\n";
  colonna = 0;
  for (const auto& o : opzioni) colonna = std::max(colonna, nome_opzione(o).size() + 2);
  for (const auto& o : opzioni) {
    const std::string chi = per_chi(comandi, o);
    // A help of several lines keeps its own breaks after the commands' names.
    r += in_colonna(nome_opzione(o), chi + std::string(o.aiuto), colonna);
  }
  r += "\nStato di uscita:\n";
  for (const significato_uscita& u : significati_uscita) {
    std::string numero = std::to_string(u.stato);
    r += in_colonna(std::string(4 - numero.size(), ' ') + numero, u.testo, 6);
  }
  r += "\nIl significato di ogni numero di errore e' nella tabella \"Error numbers\" di\n"
       "README.md; i formati dei sorgenti sono descritti in docs/sorgenti.md.\n";
  return r;
}

}  // namespace scenario
