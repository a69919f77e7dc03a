#pragma once
// The comparison of sort keys: ICU collation for the user's locale at tertiary
// strength, with spaces and punctuation non-ignorable (so the lines of one collocate
// stay together) and only hyphen and apostrophe made ignorable.
#include <memory>
#include <string>
#include <string_view>

#include "engine/expected.h"

struct UCollator;

namespace tessary {

class CSortCollator {
 public:
  // Locale names as in LC_COLLATE ("de_DE.UTF-8", "en_US"); "", "C" and "POSIX" give root.
  static Expected<std::shared_ptr<const CSortCollator>> ForLocale(std::string_view locale);
  // The user's locale from LC_ALL, LC_COLLATE or LANG, in that order.
  static Expected<std::shared_ptr<const CSortCollator>> ForUserLocale();
  ~CSortCollator();
  CSortCollator(const CSortCollator&) = delete;
  CSortCollator& operator=(const CSortCollator&) = delete;

  int Compare(std::u16string_view a, std::u16string_view b) const;  // <0, 0, >0
  // Binary sort key: memcmp order of two keys equals Compare's order.
  std::string SortKey(std::u16string_view text) const;
  // The same key appended to out, for callers that keep many keys in one buffer.
  void AppendSortKey(std::u16string_view text, std::string& out) const;
  const std::string& LocaleName() const { return m_strLocale; }
  // A collator of the same order for another thread: one collator is never used by two
  // threads at once. Null when ICU cannot copy it.
  std::unique_ptr<CSortCollator> Clone() const;

 private:
  CSortCollator() = default;
  UCollator* m_pCollator = nullptr;
  std::string m_strLocale;
};

}  // namespace tessary
