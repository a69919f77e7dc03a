#include "engine/web_lookup.h"

#include <gtest/gtest.h>

#include <string>

namespace tessary {
namespace {

constexpr std::string_view kEndpoint = "https://dict.example/lookup.cgi?SearchStr=";

std::string Lookup(std::u16string_view text, std::string_view endpoint = kEndpoint) {
  const CLookupAddress address = DictionaryAddress(endpoint, text);
  EXPECT_TRUE(address.m_bOk);
  return address.m_strAddress;
}

TEST(DictionaryAddress, WordsAreEncodedAsOneQueryValueInUtf8) {
  EXPECT_EQ(Lookup(u"na\u00efve"), "https://dict.example/lookup.cgi?SearchStr=na%C3%AFve");
  EXPECT_EQ(Lookup(u"a&b"), "https://dict.example/lookup.cgi?SearchStr=a%26b");
  EXPECT_EQ(Lookup(u"x y"), "https://dict.example/lookup.cgi?SearchStr=x%20y");
  // Nothing of the clipboard can add a parameter, a fragment or a path.
  EXPECT_EQ(Lookup(u"a=1#top/../?%+"), "https://dict.example/lookup.cgi?SearchStr=a%3D1%23top%2F..%2F%3F%25%2B");
  EXPECT_EQ(Lookup(u"\u4e2d\U0001F600"), "https://dict.example/lookup.cgi?SearchStr=%E4%B8%AD%F0%9F%98%80");
  // A lone surrogate (a broken copy) still gives a well-formed address.
  EXPECT_EQ(Lookup(std::u16string(1, char16_t(0xD800))), "https://dict.example/lookup.cgi?SearchStr=%EF%BF%BD");
}

TEST(DictionaryAddress, SurroundingWhiteSpaceIsDroppedAndEmptyTextIsLookedUp) {
  EXPECT_EQ(Lookup(u"  word\r\n"), "https://dict.example/lookup.cgi?SearchStr=word");
  EXPECT_EQ(Lookup(u""), "https://dict.example/lookup.cgi?SearchStr=");
  EXPECT_EQ(Lookup(u" \n"), "https://dict.example/lookup.cgi?SearchStr=");
  EXPECT_EQ(Lookup(u"two\nlines"), "https://dict.example/lookup.cgi?SearchStr=two%0Alines");
}

TEST(DictionaryAddress, FiftyCharactersAreLookedUpAndFiftyOneRefused) {
  const std::u16string fifty(50, u'a');
  EXPECT_EQ(Lookup(fifty), std::string(kEndpoint) + std::string(50, 'a'));
  EXPECT_EQ(Lookup(u"  " + fifty + u"  "), std::string(kEndpoint) + std::string(50, 'a'));
  const CLookupAddress refused = DictionaryAddress(kEndpoint, fifty + u"a");
  EXPECT_FALSE(refused.m_bOk);
  EXPECT_EQ(refused.m_refusal, LookupRefusal::kTooLong);
  EXPECT_STREQ(LookupMessage(refused.m_refusal), "Select a word or short phrase to lookup.");
  // Characters count, not UTF-16 units: 50 characters outside the basic plane pass.
  std::u16string faces;
  for (int i = 0; i < 50; ++i) faces += u"\U0001F600";
  EXPECT_TRUE(DictionaryAddress(kEndpoint, faces).m_bOk);
  EXPECT_FALSE(DictionaryAddress(kEndpoint, faces + u"x").m_bOk);
}

TEST(DictionaryAddress, PlaceholderTakesTheWordInsideTheAddress) {
  EXPECT_EQ(Lookup(u"x y", "https://w.example/search?q={word}&lang=en"), "https://w.example/search?q=x%20y&lang=en");
  EXPECT_EQ(Lookup(u"{word}", "https://w.example/{word}"), "https://w.example/%7Bword%7D");
}

TEST(CheckWebAddress, AcceptsHttpAddressesAndRefusesOthersWithAReason) {
  EXPECT_TRUE(CheckWebAddress("http://127.0.0.1:8080/x?SearchStr="));
  EXPECT_TRUE(CheckWebAddress("HTTPS://example.org"));
  for (const char* bad : {"", "example.org", "ftp://example.org/", "javascript:alert(1)", "file:///etc/passwd",
                          "http://", "https://:80/", "http://exa mple.org/", "http://example.org/\n"}) {
    const auto checked = CheckWebAddress(bad);
    EXPECT_FALSE(checked) << bad;
    EXPECT_FALSE(checked.Error().empty()) << bad;
  }
}

}  // namespace
}  // namespace tessary
