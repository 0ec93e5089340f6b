#include "driver/opzioni.h"

#include <algorithm>
#include <array>
#include <string_view>

#ifndef SCENARIO_VERSIONE
#define SCENARIO_VERSIONE "0.0.0"
#endif

namespace scenario {

namespace {

enum class opzione { aiuto, versione, cartella, cartella_uscita, tipo, json, forza };

struct descrizione_opzione {
  opzione quale;
  std::string_view lunga;
  char corta;  // '\0': none
  bool con_argomento;
};

constexpr std::array<descrizione_opzione, 7> opzioni{{
    {opzione::aiuto, "help", 'h', false},
    {opzione::versione, "version", '\0', false},
    {opzione::cartella, "dir", 'C', true},
    {opzione::cartella_uscita, "output-dir", 'o', true},
    {opzione::tipo, "kind", '\0', true},
    {opzione::json, "json", '\0', false},
    {opzione::forza, "force", 'f', false},
}};

struct descrizione_comando {
  comando quale;
  std::string_view parola;
  size_t operandi;
  std::string_view nomi_operandi;
  std::array<opzione, 2> ammesse;  // aiuto stands for "no further option"
};

constexpr std::array<descrizione_comando, 4> comandi{{
    {comando::esporta, "export", 1, "CARTELLA", {opzione::forza, opzione::aiuto}},
    {comando::compila, "compile", 2, "LINEA TRENO", {opzione::cartella, opzione::cartella_uscita}},
    {comando::ispeziona, "inspect", 1, "FILE", {opzione::json, opzione::tipo}},
    {comando::disegna, "draw", 2, "LINEA TRENO", {opzione::cartella, opzione::cartella_uscita}},
}};

// An option as met on the line, with its spelling for the messages.
struct incontrata {
  opzione quale;
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
  if (!o->con_argomento) {
    if (uguale != std::string_view::npos) {
      l.errore = "l'opzione " + scritta + " non accetta argomenti";
      return false;
    }
    l.incontrate.push_back({o->quale, scritta, {}});
    return true;
  }
  if (uguale != std::string_view::npos) {
    l.incontrate.push_back({o->quale, scritta, std::string(testo.substr(uguale + 1))});
    return true;
  }
  if (i + 1 >= a.size()) {
    l.errore = "l'opzione " + scritta + " richiede un argomento";
    return false;
  }
  l.incontrate.push_back({o->quale, scritta, a[++i]});
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
    if (!o->con_argomento) {
      l.incontrate.push_back({o->quale, scritta, {}});
      continue;
    }
    if (k + 1 < parola.size()) {
      l.incontrate.push_back({o->quale, scritta, parola.substr(k + 1)});
    } else if (i + 1 < a.size()) {
      l.incontrate.push_back({o->quale, scritta, a[++i]});
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

const descrizione_comando* per_parola(std::string_view parola) {
  for (const auto& c : comandi) {
    if (c.parola == parola) return &c;
  }
  return nullptr;
}

bool ammessa(const descrizione_comando& c, opzione o) {
  return std::find(c.ammesse.begin(), c.ammesse.end(), o) != c.ammesse.end();
}

esito_opzioni errore(std::string testo) { return {std::nullopt, std::move(testo)}; }

esito_opzioni solo(comando c) {
  richiesta r;
  r.cosa = c;
  return {r, {}};
}

// Puts one option of the command into the request; a fault is its message.
std::string applica(richiesta& r, const incontrata& o) {
  const bool cartella = o.quale == opzione::cartella || o.quale == opzione::cartella_uscita;
  if (cartella && o.argomento.empty())
    return "l'opzione " + o.scritta + " richiede un argomento non vuoto";
  switch (o.quale) {
    case opzione::cartella:
      r.cartella = o.argomento;
      break;
    case opzione::cartella_uscita:
      r.cartella_uscita = o.argomento;
      break;
    case opzione::json:
      r.json = true;
      break;
    case opzione::forza:
      r.forza = true;
      break;
    case opzione::tipo:
      if (o.argomento != "plan" && o.argomento != "table" && o.argomento != "grid") {
        return "valore non valido per " + o.scritta + ": '" + o.argomento +
               "' (ammessi: plan, table, grid)";
      }
      r.tipo = o.argomento;
      break;
    case opzione::aiuto:
    case opzione::versione:
      break;
  }
  return {};
}

}  // namespace

esito_opzioni interpreta_opzioni(const std::vector<std::string>& argomenti) {
  const lettura l = leggi(argomenti);
  // --help and --version win over everything else on the line, as with
  // every GNU program, once the line before them could be read.
  for (const incontrata& o : l.incontrate) {
    if (o.quale == opzione::aiuto) return solo(comando::aiuto);
    if (o.quale == opzione::versione) return solo(comando::versione);
  }
  if (!l.errore.empty()) return errore(l.errore);
  if (l.operandi.empty()) return errore("comando mancante (export, compile, inspect o draw)");
  const descrizione_comando* c = per_parola(l.operandi.front());
  if (c == nullptr) return errore("comando sconosciuto: " + l.operandi.front());

  richiesta r;
  r.cosa = c->quale;
  r.operandi.assign(l.operandi.begin() + 1, l.operandi.end());
  const std::string parola(c->parola);
  if (r.operandi.size() != c->operandi) {
    return errore(parola + " vuole " + std::string(c->nomi_operandi) + " (" +
                  std::to_string(r.operandi.size()) +
                  (r.operandi.size() == 1 ? " argomento dato)" : " argomenti dati)"));
  }
  for (const incontrata& o : l.incontrate) {
    if (!ammessa(*c, o.quale)) return errore("l'opzione " + o.scritta + " non vale per " + parola);
    if (std::string e = applica(r, o); !e.empty()) return errore(e);
  }
  return {r, {}};
}

std::string testo_versione() { return "compila_scenario " SCENARIO_VERSIONE "\n"; }

std::string suggerimento_aiuto() {
  return "Provare 'compila_scenario --help' per maggiori informazioni.\n";
}

std::string testo_aiuto() {
  return "Uso: compila_scenario\n"
         "  o:  compila_scenario COMANDO ARGOMENTI... [OPZIONI]\n"
         "Senza argomenti compila lo scenario predefinito (linea Brossalenta_Morla, treno\n"
         "iR31457) nella cartella del programma e vi scrive tutti i suoi file.\n"
         "\n"
         "Comandi per gli autori di scenari:\n"
         "  export CARTELLA      scrive in CARTELLA (creata se manca) i due sorgenti dello\n"
         "                       scenario predefinito, da cui partire\n"
         "  compile LINEA TRENO  compila LINEA_linea.txt e LINEA_TRENO-.txt e scrive\n"
         "                       LINEA_linea.dat, LINEA_TRENO.sim e LINEA_TRENO.dat;\n"
         "                       i sorgenti restano; con un errore indica file, riga e\n"
         "                       colonna e non scrive nulla\n"
         "  inspect FILE         decodifica un file compilato in testo leggibile\n"
         "                       (*_linea.dat: piano, *.sim: tabella, altri *.dat: griglia)\n"
         "  draw LINEA TRENO     da uno scenario compilato disegna la pianta e il profilo\n"
         "                       della linea: LINEA_TRENO_pianta.svg, LINEA_TRENO_profilo.svg\n"
         "\n"
         "Opzioni:\n"
         "  -C, --dir=CARTELLA         compile, draw: cartella dei file letti\n"
         "                             (predefinita: la cartella corrente)\n"
         "  -o, --output-dir=CARTELLA  compile, draw: cartella dei file scritti, creata se\n"
         "                             manca (predefinita: quella dei file letti)\n"
         "  -f, --force                export: sostituisce i sorgenti gia' presenti\n"
         "      --json                 inspect: scrive JSON invece del testo\n"
         "      --kind=TIPO            inspect: il tipo del file, plan, table o grid,\n"
         "                             invece di dedurlo dal nome\n"
         "  -h, --help                 mostra questo aiuto ed esce\n"
         "      --version              mostra la versione ed esce\n"
         "\n"
         "Stato di uscita:\n"
         "   0  fatto\n"
         "   1  errore fatale della compilazione predefinita (\" Errore n. N\")\n"
         "   2  guasto del disco: un file non si legge o non si scrive\n"
         "   3  errore nei sorgenti (compile: nessun file compilato scritto; compilazione\n"
         "      predefinita: file scritti comunque)\n"
         "  64  riga di comando sbagliata\n"
         "  65  file compilato non valido (inspect, draw)\n"
         "  73  export: i sorgenti esistono gia' (usare --force)\n";
}

}  // namespace scenario
