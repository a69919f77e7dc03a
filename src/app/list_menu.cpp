#include "app/list_menu.h"

#include <QAction>
#include <QMenu>

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "editor/tessary_view.h"

namespace tessary {

QMenu* ShowListMenu(CMainFrame& frame, CTessaryView* view, const QPoint& globalPos) {
  // The commands act on the active window: the one the menu was asked for.
  if (view && frame.ActiveView() != view) frame.ActivateView(view);
  frame.UpdateCommandStates();
  auto* menu = new QMenu(&frame);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName("List window menu");
  for (int id : {int(ids::kEditCopy), int(ids::kEditSelectAll), -1, 0, int(ids::kSortRight), int(ids::kSortLeft),
                 int(ids::kCollocates), int(ids::kAddLineNumbering), int(ids::kConcordanceString), 0,
                 int(ids::kSaveAsHtml), int(ids::kSaveListTsv), int(ids::kSaveListCsv), int(ids::kDatabaseNew),
                 int(ids::kDatabaseAppend)}) {
    if (id == 0) {
      menu->addSeparator();
    } else if (id == -1) {
      // The right button's look-up, for the caret's line, from the keyboard.
      QAction* context = menu->addAction(QStringLiteral("Show &Context"));
      context->setStatusTip(QStringLiteral("Open the source text at the keyword of the caret's line"));
      if (view) QObject::connect(context, &QAction::triggered, view, [view] { emit view->ContextRequested(view); });
      context->setEnabled(view != nullptr);
    } else if (QAction* action = frame.Action(id)) {
      menu->addAction(action);
    }
  }
  menu->popup(globalPos);
  return menu;
}

}  // namespace tessary
