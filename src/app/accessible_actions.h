#pragma once
// The names a screen reader reads for the program's commands. Some menu texts name
// their key ("Concordance search (F5) "); the item is read as "Concordance search"
// with F5 as its key, as every other item is.
#include <QString>

class QAction;
class QMainWindow;

namespace tessary {

// The action's text without its mnemonic and without a key named in brackets at its end.
QString AccessibleActionName(const QAction& action);
// The key a text names in brackets at its end ("F5", "Ctrl+F5"); empty when none.
QString KeyNamedInText(const QString& text);

// Menu items are read by AccessibleActionName, and the tool bars' buttons of window
// carry the same names.
void MakeCommandsAccessible(QMainWindow& window);

}  // namespace tessary
