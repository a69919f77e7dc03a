#pragma once
// The look of a list window: its font by the kind of search.
#include <QFont>

#include "engine/assembly.h"

namespace tessary {

class CTessaryDoc;

// The face of a list window's kind of search, or the installed monospace that stands
// for it, so every keyword stands in one column.
QFont ListWindowFont(ListSource source);

// Gives the document and every view of it the list font, before the lines go in.
void SetListFont(CTessaryDoc& doc, const QFont& font);

}  // namespace tessary
