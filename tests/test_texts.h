#pragma once
// Named sample texts shared by the tests, and access to tests/data.
#include <string>

namespace tessary::test {

// Lines that end in CR LF, with a keyword at the very start and the very end.
extern const std::string kCrlfLines;
// Windows-1252 text with accented letters, the euro sign and a keyword followed by
// an accented letter.
extern const std::string kAccented1252;
// UTF-16 text with a surrogate pair next to a keyword.
extern const std::u16string kSurrogates16;

// The bytes of a file in tests/data.
std::string ReadDataFile(const std::string& name);
std::string DataPath(const std::string& name);

}  // namespace tessary::test

namespace tessary::test {
// A UTF-8 data file decoded, with one line feed per line end.
std::u16string Utf8ToUtf16Text(const std::string& name);
}  // namespace tessary::test
