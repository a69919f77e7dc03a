#pragma once
// Filling a list window and its key-word formatting.
#include <QFont>
#include <QString>
#include <functional>
#include <vector>

#include "engine/assembly.h"

namespace tessary {

class CTessaryView;

// The face of a list window's kind of search, with a fixed-pitch hint so the fallback
// keeps every keyword in one column.
QFont ListWindowFont(ListSource source);

// Puts the whole text into the view's document in one operation, in the font.
void FillListWindow(CTessaryView& view, const QString& text, const QFont& font);

// Applies the ranges (UTF-16 positions of the view's text) inside one edit block.
// progress(done, total) is called about a hundred times; false stops the loop.
// Returns true when every range was applied.
bool ApplyRanges(CTessaryView& view, const std::vector<CRenderedRange>& ranges,
                 const std::function<bool(std::size_t, std::size_t)>& progress);

}  // namespace tessary
