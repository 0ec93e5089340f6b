// Every row kind of the two sources, in one table: the words its keyword
// field must contain, whether letter case counts, and the keyword as the
// built-in sources spell it. The parser tests keyword fields through it, the
// warnings name rows from it, and a test holds docs/sorgenti.md to it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace scenario {

// Where a row kind is recognised.
enum class sezione_sorgente { generale_linea, corpo_linea, corpo_treno };

enum class riga : size_t {
  lunghezza,
  progressiva_tre,
  progressiva_due,
  progressiva_uno,
  sfondo_uno,
  sfondo_due,
  sfondo_tre,
  ripetizione,
  pendenza,
  curva,
  montagna,
  indicatori,
  cartello,
  frenata,
  vetture,
  velocita,
  aderenza,
  orologio,
  sabbia,
  segnale,
  rallentamento,
  abbattimento,
  stazione,
};

struct tipo_riga {
  riga quale;
  sezione_sorgente sezione;
  std::array<std::string_view, 2> parole;  // every non-empty one must occur
  bool esatto;                             // letter case counts
  std::string_view scritta;                // as the built-in sources write it
};

inline constexpr std::array<tipo_riga, 23> tipi_riga{{
    {riga::lunghezza,
     sezione_sorgente::generale_linea,
     {"percorso", "lunghezza"},
     false,
     "lunghezza percorso"},
    {riga::progressiva_tre,
     sezione_sorgente::generale_linea,
     {"progressiva", "tre"},
     true,
     "progressiva chilometrica tre"},
    {riga::progressiva_due,
     sezione_sorgente::generale_linea,
     {"progressiva", "due"},
     true,
     "progressiva chilometrica due"},
    {riga::progressiva_uno,
     sezione_sorgente::generale_linea,
     {"progressiva", "uno"},
     true,
     "progressiva chilometrica uno"},
    {riga::sfondo_uno, sezione_sorgente::generale_linea, {"sfondo", "uno"}, true, "sfondo uno"},
    {riga::sfondo_due, sezione_sorgente::generale_linea, {"sfondo", "due"}, true, "sfondo due"},
    {riga::sfondo_tre, sezione_sorgente::generale_linea, {"sfondo", "tre"}, true, "sfondo tre"},
    {riga::ripetizione,
     sezione_sorgente::generale_linea,
     {"segnali", "ripetizione"},
     true,
     "ripetizione segnali 4 codici"},
    {riga::pendenza, sezione_sorgente::corpo_linea, {"pendenza", ""}, false, "pendenza"},
    {riga::curva, sezione_sorgente::corpo_linea, {"curva", ""}, false, "curvad5"},
    {riga::montagna, sezione_sorgente::corpo_linea, {"montagna", ""}, false, "montagna"},
    {riga::indicatori,
     sezione_sorgente::corpo_linea,
     {"indicatori_v", ""},
     false,
     "indicatori_vmax"},
    {riga::cartello,
     sezione_sorgente::corpo_linea,
     {"indicat", "cartello"},
     false,
     "cartello_indicatore"},
    {riga::frenata,
     sezione_sorgente::corpo_treno,
     {"frenata", "massa"},
     false,
     "percentuale massa frenata"},
    {riga::vetture, sezione_sorgente::corpo_treno, {"vetture", ""}, false, "numero vetture"},
    {riga::velocita, sezione_sorgente::corpo_treno, {"velocit", ""}, false, "velocita"},
    {riga::aderenza, sezione_sorgente::corpo_treno, {"aderenza", ""}, false, "aderenza"},
    {riga::orologio, sezione_sorgente::corpo_treno, {"orologio", ""}, false, "orologio"},
    {riga::sabbia, sezione_sorgente::corpo_treno, {"sabbia", ""}, false, "sabbia"},
    {riga::segnale, sezione_sorgente::corpo_treno, {"segnale", ""}, false, "segnale"},
    {riga::rallentamento,
     sezione_sorgente::corpo_treno,
     {"rallentamento", ""},
     false,
     "rallentamento"},
    {riga::abbattimento,
     sezione_sorgente::corpo_treno,
     {"abbattimento", ""},
     false,
     "abbattimento"},
    {riga::stazione, sezione_sorgente::corpo_treno, {"stazione", ""}, false, "stazione"},
}};

// Each kind stands at its own index, so tipo_di is a lookup; a row added to
// the enum without its entry fails here.
constexpr bool tabella_in_ordine() {
  for (size_t i = 0; i < tipi_riga.size(); ++i) {
    if (static_cast<size_t>(tipi_riga[i].quale) != i) return false;
  }
  return static_cast<size_t>(riga::stazione) + 1 == tipi_riga.size();
}
static_assert(tabella_in_ordine());

// The section headers of each source, in the order the built-in sources write them.
inline constexpr std::array<std::string_view, 7> intestazioni_linea{
    "[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]", "[fine]"};
inline constexpr std::array<std::string_view, 8> intestazioni_treno{
    "[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
    "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};

const tipo_riga& tipo_di(riga r);
// True when the keyword field is a row of that kind (the parser's own test).
bool riconosce(std::string_view campo, riga r);
// True when the field is a row of some kind of the section.
bool riconosciuta(std::string_view campo, sezione_sorgente s);
// The row kind or header of the section nearest to a field that matched none
// (a misspelling, a case slip); empty when none is close.
std::string_view piu_vicina(std::string_view campo, sezione_sorgente s);
std::string_view intestazione_piu_vicina(std::string_view campo, bool linea);

}  // namespace scenario
