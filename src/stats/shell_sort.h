#pragma once
// The program's one ordering routine for statistics: a Shell sort with the gaps
// 1, 4, 13, 40, ... Not stable; kept exact because the order it leaves among equal
// keys is what the user sees in the first listing of unique words.
#include <cstddef>
#include <utility>
#include <vector>

namespace tessary {

// compare(a, b) > 0 when a belongs after b. Starts from the largest gap below the
// size; an element moves only past elements that compare strictly greater, so an
// array already in order is left as it is.
template <class T, class Compare>
void ShellSort(std::vector<T>& items, Compare compare) {
  const std::size_t n = items.size();
  std::size_t gap = 1;
  while (gap < n) gap = 3 * gap + 1;
  for (gap = (gap - 1) / 3; gap > 0; gap = (gap - 1) / 3) {
    for (std::size_t i = gap; i < n; ++i) {
      T value = std::move(items[i]);
      std::size_t j = i;
      while (j >= gap && compare(items[j - gap], value) > 0) {
        items[j] = std::move(items[j - gap]);
        j -= gap;
      }
      items[j] = std::move(value);
    }
  }
}

}  // namespace tessary
