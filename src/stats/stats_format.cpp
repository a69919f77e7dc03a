#include "stats/stats_format.h"

#include <charconv>

namespace tessary {


std::string FixedDecimals(double value, int decimals) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

}  // namespace tessary
