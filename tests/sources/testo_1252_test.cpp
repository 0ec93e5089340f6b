// Windows-1252 names shown as UTF-8: the letters of 80-9F, Latin-1 above,
// the five undefined bytes and every control escaped, never passed raw.
#include "sources/testo_1252.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(Testo1252, DaByteAUtf8) {
  const struct {
    std::string byte;
    std::string utf8;
    std::string citato;
    std::string json;
  } casi[] = {
      {"BROSSALENTA", "BROSSALENTA", "\"BROSSALENTA\"", "\"BROSSALENTA\""},
      {"\x80", "\xE2\x82\xAC", "\"\xE2\x82\xAC\"", "\"\xE2\x82\xAC\""},      // euro sign
      {"Citt\xE0", "Citt\xC3\xA0", "\"Citt\xC3\xA0\"", "\"Citt\xC3\xA0\""},  // Latin-1 part
      {"\x9F\xFF", "\xC5\xB8\xC3\xBF", "\"\xC5\xB8\xC3\xBF\"", "\"\xC5\xB8\xC3\xBF\""},
      {"\x81", "\xC2\x81", "\"\\x81\"", "\"\\u0081\""},  // undefined: the C1 control
      {"a\"b\\c", "a\"b\\c", "\"a\\\"b\\\\c\"", "\"a\\\"b\\\\c\""},
      {std::string("\x00\x1F\x7F", 3), std::string("\x00\x1F\x7F", 3), "\"\\x00\\x1F\\x7F\"",
       "\"\\u0000\\u001F\\u007F\""},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(utf8_da_1252(c.byte), c.utf8) << c.byte;
    EXPECT_EQ(testo_citato(c.byte), c.citato) << c.byte;
    EXPECT_EQ(testo_json(c.byte), c.json) << c.byte;
  }
  // Every byte decodes to one character of at most three UTF-8 bytes.
  for (int b = 0; b < 256; ++b) {
    const std::string u = utf8_da_1252(std::string(1, static_cast<char>(b)));
    EXPECT_GE(u.size(), 1u);
    EXPECT_LE(u.size(), 3u);
  }
}

}  // namespace
}  // namespace scenario
