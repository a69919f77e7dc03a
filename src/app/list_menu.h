#pragma once
// The list window's own menu (the menu key, Shift+F10): Copy, Select All, the context
// of the caret's line, the sort and list commands and the exports, as the main menu's
// actions, so they are enabled as there.
#include <QPoint>

class QMenu;

namespace tessary {

class CMainFrame;
class CTessaryView;

// Pops the menu up at globalPos (it deletes itself when closed) and returns it.
QMenu* ShowListMenu(CMainFrame& frame, CTessaryView* view, const QPoint& globalPos);

}  // namespace tessary
