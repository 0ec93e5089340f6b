#include "sources/parole_chiave.h"

#include <algorithm>

namespace scenario {

char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string minuscolo(std::string_view testo) {
  std::string r(testo);
  std::transform(r.begin(), r.end(), r.begin(), minuscola);
  return r;
}

bool contiene(std::string_view campo, std::string_view parola) {
  auto uguali = [](char a, char b) { return minuscola(a) == minuscola(b); };
  return std::search(campo.begin(), campo.end(), parola.begin(), parola.end(), uguali) !=
         campo.end();
}

bool contiene_esatto(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

bool e_commento(std::string_view campo) { return campo.find('-') != std::string_view::npos; }

bool e_intestazione(std::string_view campo) {
  const auto primo = campo.find_first_not_of(' ');
  if (primo != std::string_view::npos && campo[primo] == '-') return false;
  return campo.find('[') != std::string_view::npos && campo.find(']') != std::string_view::npos;
}

}  // namespace scenario
