#pragma once
// The associated-word requests of the program. "Plexon search" asks for the code set,
// then for the byte dialog or the Unicode one; "Associated words" asks the Unicode
// dialog alone. On OK the settings remember what was typed and chosen for the next
// dialog, and one request is built; on Cancel nothing changes and nothing is built.
// An associated-word search is one request: a later plain search never sees its words.
#include <QString>
#include <optional>

#include "engine/search_request.h"

namespace tessary {

class CTessaryApp;

// lastByteSearch: the byte search string as typed, which the concordance dialog and
// the Plexon dialog's node word share.
std::optional<CSearchRequest> AskPlexonRequest(CTessaryApp& app, QString& lastByteSearch);
std::optional<CSearchRequest> AskUnicodeAssociatedRequest(CTessaryApp& app);

// Status pane 0 of a list window without lines.
QString NoConcordancesText(const QString& search);

}  // namespace tessary
