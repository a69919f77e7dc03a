#include "app/accessible_actions.h"

#include <QAccessible>
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QPointer>
#include <QToolBar>
#include <QToolButton>

namespace tessary {

namespace {

const QRegularExpression& KeyInBrackets() {
  static const QRegularExpression pattern(
      // A function or editing key, or a letter or digit with a modifier: "(F5)", "(Ctrl + F5)".
      QStringLiteral("\\s*\\(((?:(?:Ctrl|Shift|Alt)\\s*\\+\\s*)*(?:F\\d{1,2}|Del|Ins|Esc|Tab)|"
                     "(?:(?:Ctrl|Shift|Alt)\\s*\\+\\s*)+[A-Z0-9])\\)\\s*$"));
  return pattern;
}

QString WithoutMnemonic(const QString& text) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    else if (text[i] == '&') continue;
    out += text[i];
  }
  return out;
}

// A menu item read by its name without the key; otherwise as Qt reads menu items.
class CMenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit CMenuItemAccessible(QAction* action) : m_pAction(action) {}

  bool isValid() const override { return m_pAction && Owner(); }
  QObject* object() const override { return m_pAction; }
  QWindow* window() const override {
    QWidget* owner = Owner();
    return owner ? owner->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Owner()); }
  QAccessibleInterface* child(int index) const override {
    return index == 0 && m_pAction->menu() ? QAccessible::queryAccessibleInterface(m_pAction->menu()) : nullptr;
  }
  int childCount() const override { return m_pAction->menu() ? 1 : 0; }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child && m_pAction->menu() && child->object() == m_pAction->menu() ? 0 : -1;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return AccessibleActionName(*m_pAction);
    if (t == QAccessible::Accelerator)
      return m_pAction->shortcut().isEmpty() ? KeyNamedInText(m_pAction->text()) : m_pAction->shortcut().toString();
    return QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    QWidget* owner = Owner();
    QRect rect;
    if (auto* menu = qobject_cast<QMenu*>(owner)) rect = menu->actionGeometry(m_pAction);
    else if (auto* bar = qobject_cast<QMenuBar*>(owner)) rect = bar->actionGeometry(m_pAction);
    return owner ? rect.translated(owner->mapToGlobal(QPoint(0, 0))) : rect;
  }
  QAccessible::Role role() const override {
    return m_pAction->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    QWidget* owner = Owner();
    if (!owner || !owner->isVisible() || !m_pAction->isVisible()) s.invisible = true;
    if (auto* menu = qobject_cast<QMenu*>(owner); menu && menu->activeAction() == m_pAction) s.focused = true;
    if (m_pAction->isSeparator() || !m_pAction->isEnabled()) s.disabled = true;
    s.checkable = m_pAction->isCheckable();
    s.checked = m_pAction->isChecked();
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && m_pAction->isEnabled()) m_pAction->trigger();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  // The menu that shows the item now, else the first that holds it.
  QWidget* Owner() const {
    if (!m_pAction) return nullptr;
    QWidget* first = nullptr;
    for (QObject* object : m_pAction->associatedObjects()) {
      auto* widget = qobject_cast<QWidget*>(object);
      if (!qobject_cast<QMenu*>(widget) && !qobject_cast<QMenuBar*>(widget)) continue;
      if (widget->isVisible()) return widget;
      if (!first) first = widget;
    }
    return first;
  }

  QPointer<QAction> m_pAction;
};

QAccessibleInterface* ActionFactory(const QString& key, QObject* object) {
  if (key != QLatin1String("QAction")) return nullptr;
  auto* action = qobject_cast<QAction*>(object);
  // Only items whose text names a key need another reading than Qt's own.
  if (!action || KeyNamedInText(action->text()).isEmpty()) return nullptr;
  return new CMenuItemAccessible(action);
}

}  // namespace

QString KeyNamedInText(const QString& text) {
  const QRegularExpressionMatch match = KeyInBrackets().match(text);
  if (!match.hasMatch()) return QString();
  QString key = match.captured(1);
  key.remove(' ');
  return key;
}

QString AccessibleActionName(const QAction& action) {
  QString text = WithoutMnemonic(action.text());
  text.remove(KeyInBrackets());
  return text.trimmed();
}

void MakeCommandsAccessible(QMainWindow& window) {
  static const bool installed = [] {
    QAccessible::installFactory(ActionFactory);
    return true;
  }();
  (void)installed;
  for (QToolBar* bar : window.findChildren<QToolBar*>()) {
    for (QToolButton* button : bar->findChildren<QToolButton*>()) {
      if (!button->accessibleName().isEmpty()) continue;
      if (QAction* action = button->defaultAction()) button->setAccessibleName(AccessibleActionName(*action));
      // The bar's own button for what does not fit.
      else if (button->objectName() == QLatin1String("qt_toolbar_ext_button"))
        button->setAccessibleName("More buttons");
    }
  }
}

}  // namespace tessary
