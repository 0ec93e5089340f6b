// Keyword and comment tests on a keyword field. Keywords are found by substring,
// not by whole-field comparison; letter case is ignored unless the caller asks
// for the exact test (the lower-case [generale] words of the line source).
#pragma once

#include <string>
#include <string_view>

namespace scenario {

// ASCII lower case: only A-Z change; single-byte text keeps every other byte
// as it stands, whatever the locale.
char minuscola(char c);
std::string minuscolo(std::string_view testo);

// True when `parola` occurs in `campo`, ignoring ASCII letter case.
bool contiene(std::string_view campo, std::string_view parola);
// True when `parola` occurs in `campo` exactly as written.
bool contiene_esatto(std::string_view campo, std::string_view parola);
// A keyword field holding "-" anywhere is a comment.
bool e_commento(std::string_view campo);
// A section header: holds "[" and "]" and does not begin (after spaces) with "-".
bool e_intestazione(std::string_view campo);

}  // namespace scenario
