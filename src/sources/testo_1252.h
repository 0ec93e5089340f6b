// Names in the compiled files are single-byte Windows-1252 text; the tools
// show them as UTF-8. The five bytes that code page leaves undefined (81, 8D,
// 8F, 90, 9D) become the C1 control of the same number, as Windows maps them.
#pragma once

#include <string>
#include <string_view>

namespace scenario {

// The Unicode code point of one Windows-1252 byte.
char32_t carattere_1252(unsigned char c);

// One code point (below 0x10000) appended as UTF-8.
void aggiungi_utf8(std::string& r, char32_t u);

// The whole text as UTF-8.
std::string utf8_da_1252(std::string_view testo);

// For a line of text: in double quotes, with '"' and '\' escaped, every
// control character (C0, DEL, C1) as \xNN of its byte, the rest as UTF-8.
std::string testo_citato(std::string_view testo);

// A JSON string of the same text: UTF-8, controls as \u00NN.
std::string testo_json(std::string_view testo);

}  // namespace scenario
