#include "test_texts.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tessary::test {

const std::string kCrlfLines =
    "The cat sat on the mat.\r\nA dog, the dog, barked at the cat\r\n"
    "and the CAT ran.\r\nthe";

const std::string kAccented1252 =
    "Caf\xE9 au lait co\xFBte 3 \x80. The cat\xE9 is not a cat; the \xC9t\xE9 cat is.";

const std::u16string kSurrogates16 = u"A cat\U0001F408 and a cat \U0001F408 on the mat";

std::string DataPath(const std::string& name) { return std::string(TESSARY_TEST_DATA) + "/" + name; }

std::string ReadDataFile(const std::string& name) {
  std::ifstream in(DataPath(name), std::ios::binary);
  if (!in) throw std::runtime_error("missing test data: " + name);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tessary::test

#include "engine/codepage.h"

namespace tessary::test {

std::u16string Utf8ToUtf16Text(const std::string& name) {
  std::u16string text;
  for (char16_t c : Utf8ToUtf16(ReadDataFile(name)))
    if (c != u'\r') text += c;
  return text;
}

}  // namespace tessary::test
