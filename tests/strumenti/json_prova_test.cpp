// The strict JSON check the tests and the readers' fuzz target rely on: it
// must refuse what a JSON parser refuses, or a broken dump would pass.
#include "strumenti/json_prova.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(JsonProva, AccettaIlValidoERifiutaIlResto) {
  const struct {
    std::string documento;
    bool valido;
  } casi[] = {
      {"{}", true},
      {" [1, -0, 0.5, -1.5e+10, 2E-3, true, false, null, \"\"] \n", true},
      {"{\"a\":{\"b\":[{}]},\"c\":\"\\u00e0\\ud83d\\ude82\\\"\\\\\\/\\b\\f\\n\\r\\t\"}", true},
      {"\"citt\xC3\xA0\"", true},
      {"", false},
      {"{} {}", false},
      {"{\"a\":1,}", false},
      {"[1,]", false},
      {"{\"a\" 1}", false},
      {"{\"a\":1,\"a\":2}", false},
      {"{a:1}", false},
      {"[01]", false},
      {"[1.]", false},
      {"[.5]", false},
      {"[+1]", false},
      {"[1e]", false},
      {"[nan]", false},
      {"[Infinity]", false},
      {"[tru]", false},
      {"\"a\nb\"", false},
      {"\"\\x41\"", false},
      {"\"\\u12\"", false},
      {"\"\\ud83d\"", false},
      {"\"\\ude82\"", false},
      {"\"\xE0\"", false},
      {"\"\xC0\xAF\"", false},
      {"\"\xED\xA0\x80\"", false},
      {"\"abc", false},
      {"[1", false},
      {std::string(300, '[') + std::string(300, ']'), false},
      {std::string(200, '[') + std::string(200, ']'), true},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.documento.substr(0, 60));
    EXPECT_EQ(prova::errore_json(c.documento).empty(), c.valido) << prova::errore_json(c.documento);
  }
}

}  // namespace
}  // namespace scenario
