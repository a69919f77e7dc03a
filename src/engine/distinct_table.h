#pragma once
// Distinct strings numbered in the order first seen: an open-addressing table of ids
// over views the caller keeps alive. Sorting a million lines with a few thousand
// different keys then builds and compares each key once.
#include <bit>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tessary {

template <class CharT>
class CDistinctTable {
 public:
  using View = std::basic_string_view<CharT>;
  // Room for at most `capacity` distinct strings.
  explicit CDistinctTable(std::size_t capacity)
      : m_slots(std::bit_ceil(2 * capacity + 2), kEmpty), m_nMask(m_slots.size() - 1) {
    m_arrTexts.reserve(capacity);
  }

  // The id of text and whether it is new; a new text gets the next id and must stay
  // alive as long as the table.
  std::pair<std::uint32_t, bool> Insert(View text) {
    for (std::size_t slot = std::hash<View>{}(text) & m_nMask;; slot = (slot + 1) & m_nMask) {
      const std::uint32_t id = m_slots[slot];
      if (id == kEmpty) {
        m_slots[slot] = static_cast<std::uint32_t>(m_arrTexts.size());
        m_arrTexts.push_back(text);
        return {m_slots[slot], true};
      }
      if (m_arrTexts[id] == text) return {id, false};
    }
  }
  std::size_t Size() const { return m_arrTexts.size(); }
  View Text(std::uint32_t id) const { return m_arrTexts[id]; }

 private:
  static constexpr std::uint32_t kEmpty = UINT32_MAX;
  std::vector<std::uint32_t> m_slots;
  std::size_t m_nMask;
  std::vector<View> m_arrTexts;
};

}  // namespace tessary
