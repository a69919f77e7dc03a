#pragma once

namespace tessary {

// The program-wide match mode; the values are those of the search dialogs.
enum MatchMode : int {
  kMatchWord = 0,    // word or phrase: non-letters on both sides
  kMatchPrefix = 1,  // non-letter before, letter after
  kMatchAny = 2,     // any string
  kMatchSuffix = 3,  // non-letter after
};

}  // namespace tessary
