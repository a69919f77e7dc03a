#pragma once
// The look of a list window: its font by the kind of search.
#include <QFont>

#include "engine/assembly.h"

namespace tessary {

class CTessaryDoc;

// The face of a list window's kind of search, with a fixed-pitch hint so the fallback
// keeps every keyword in one column.
QFont ListWindowFont(ListSource source);

// Gives the document and every view of it the list font, before the lines go in.
void SetListFont(CTessaryDoc& doc, const QFont& font);

}  // namespace tessary
