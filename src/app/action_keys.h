#pragma once
// Keys for the actions built from a command table ("F5;Shift+F5" in portable text).
#include <QAction>
#include <QList>
#include <QKeySequence>

namespace tessary {

QList<QKeySequence> Shortcuts(const char* text);

// Gives action the keys. An item whose text already names its key in brackets
// ("Concordance search (F5)") gets them through hidden twins on owner, so the
// menu does not show the key a second time.
void SetActionKeys(QWidget& owner, QAction& action, const char* shortcuts);

}  // namespace tessary
