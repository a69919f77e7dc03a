#include "app/action_keys.h"

#include <QWidget>

namespace tessary {

namespace {

bool TextNamesKey(const QString& text, const QKeySequence& key) {
  return text.contains(QLatin1Char('(') + key.toString(QKeySequence::NativeText) + QLatin1Char(')'));
}

}  // namespace

QList<QKeySequence> Shortcuts(const char* text) {
  QList<QKeySequence> keys;
  for (const QString& key : QString::fromLatin1(text).split(';', Qt::SkipEmptyParts))
    keys.push_back(QKeySequence(key, QKeySequence::PortableText));
  return keys;
}

void SetActionKeys(QWidget& owner, QAction& action, const char* shortcuts) {
  const QList<QKeySequence> keys = Shortcuts(shortcuts);
  if (keys.isEmpty() || !TextNamesKey(action.text(), keys.front())) {
    action.setShortcuts(keys);
    return;
  }
  for (const QKeySequence& key : keys) {
    auto* twin = new QAction(&owner);
    twin->setShortcut(key);
    twin->setShortcutContext(action.shortcutContext());
    QObject::connect(twin, &QAction::triggered, &action, &QAction::trigger);
    owner.addAction(twin);
  }
}

}  // namespace tessary
