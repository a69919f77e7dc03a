#include "ui/dialog_support.h"

#include <QPushButton>

#include <QAbstractButton>
#include <QAccessible>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>

namespace tessary {

namespace {

// "&Open" reads "Open"; "&&" stays one ampersand.
QString WithoutMnemonic(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    else if (text[i] == '&') continue;
    out += text[i];
  }
  return out.trimmed();
}

// The buttons that share one choice with radio: its group, else the auto-exclusive
// buttons beside it.
QList<QAbstractButton*> Peers(QRadioButton* radio) {
  if (QButtonGroup* group = radio->group()) return group->buttons();
  QList<QAbstractButton*> peers;
  if (!radio->autoExclusive() || !radio->parentWidget()) return peers;
  for (QAbstractButton* button : radio->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
    if (button->autoExclusive() && button->isCheckable()) peers.push_back(button);
  return peers;
}

bool InsideCompositeControl(const QWidget& widget, const QWidget& root) {
  // The edit of a combo or spin box and a combo's list are parts of that control.
  for (const QWidget* up = widget.parentWidget(); up && up != &root; up = up->parentWidget())
    if (qobject_cast<const QComboBox*>(up) || qobject_cast<const QAbstractSpinBox*>(up)) return true;
  return false;
}

bool IsInputControl(const QWidget& widget) {
  if (qobject_cast<const QHeaderView*>(&widget) || qobject_cast<const QScrollBar*>(&widget)) return false;
  if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->isCheckable();
  return qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QAbstractSpinBox*>(&widget) ||
         qobject_cast<const QComboBox*>(&widget) || qobject_cast<const QTextEdit*>(&widget) ||
         qobject_cast<const QPlainTextEdit*>(&widget) || qobject_cast<const QAbstractItemView*>(&widget) ||
         qobject_cast<const QAbstractSlider*>(&widget);
}

QString Describe(const QWidget& widget) {
  QString name = widget.objectName();
  if (name.isEmpty())
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) name = button->text();
  const QWidget* parent = widget.parentWidget();
  return QStringLiteral("%1 '%2' (in %3) in \"%4\"")
      .arg(QString::fromLatin1(widget.metaObject()->className()), name,
           parent ? QString::fromLatin1(parent->metaObject()->className()) : QString(), widget.window()->windowTitle());
}

}  // namespace

void SetDialogButtons(QWidget& dialog) {
  Qt::WindowFlags flags = dialog.windowFlags();
  flags &= ~(Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint);
  // With the customize hint the title bar shows just the hints given.
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  dialog.setWindowFlags(flags);
}

void FocusCheckedChoices(QWidget& root) {
  for (QRadioButton* radio : root.findChildren<QRadioButton*>()) {
    if (!radio->isChecked()) continue;
    // As Qt does once a group has had the focus: only the checked choice is a Tab stop.
    for (QAbstractButton* peer : Peers(radio))
      if (peer != radio && (peer->focusPolicy() & Qt::TabFocus)) peer->setFocusPolicy(Qt::ClickFocus);
  }
  auto* focused = qobject_cast<QRadioButton*>(root.focusWidget());
  if (!focused || focused->isChecked()) return;
  for (QAbstractButton* peer : Peers(focused))
    if (peer->isChecked()) peer->setFocus();
}

void NamePrintDialogControls(QWidget& dialog) {
  // Qt's print dialog labels its page range with texts that are no buddies.
  const std::pair<const char*, const char*> names[] = {
      {"from", "From page"}, {"to", "To page"}, {"pagesLineEdit", "Pages"}, {"pageSetCombo", "Page set"}};
  for (const auto& [object, name] : names)
    for (QWidget* control : dialog.findChildren<QWidget*>(QString::fromLatin1(object)))
      if (ControlName(*control).isEmpty()) NameControl(*control, QString::fromLatin1(name));
}

QDialogButtonBox* AddOkCancel(QDialog& dialog, QLayout& layout) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout.addWidget(buttons);
  return buttons;
}

void PrepareDialog(QWidget& dialog) {
  SetDialogButtons(dialog);
  FocusCheckedChoices(dialog);
}

void CCheckedDialog::accept() {
  if (m_fnCheck && !m_fnCheck()) return;
  QDialog::accept();
}

QString ControlName(const QWidget& control) {
  auto* widget = const_cast<QWidget*>(&control);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  if (!iface) return QString();
  // A combo box is read by its value here, never by its own name: it is named by the
  // label whose buddy it is.
  if (!qobject_cast<QComboBox*>(widget)) {
    const QString name = WithoutMnemonic(iface->text(QAccessible::Name));
    if (!name.isEmpty()) return name;
  }
  for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
    (void)relation;
    if (!label) continue;
    const QString name = WithoutMnemonic(label->text(QAccessible::Name));
    if (!name.isEmpty()) return name;
  }
  return QString();
}

void NameControl(QWidget& control, const QString& name) {
  control.setAccessibleName(name);
  // Where no label stands beside a combo box, a hidden one carries its name.
  if (qobject_cast<QComboBox*>(&control) && control.parentWidget()) {
    auto* label = new QLabel(name, control.parentWidget());
    label->setBuddy(&control);
    label->hide();
  }
}

QStringList UnnamedControls(const QWidget& root) {
  QStringList unnamed;
  for (const QWidget* widget : root.findChildren<QWidget*>()) {
    if (!IsInputControl(*widget) || InsideCompositeControl(*widget, root)) continue;
    if (ControlName(*widget).isEmpty()) unnamed << Describe(*widget);
    // A choice is read with the question it answers: its box needs a name too.
    if (qobject_cast<const QRadioButton*>(widget)) {
      const QWidget* box = widget->parentWidget();
      const auto* group = qobject_cast<const QGroupBox*>(box);
      const bool bNamed = box && box != widget->window() &&
                          (!box->accessibleName().trimmed().isEmpty() || (group && !group->title().isEmpty()));
      if (!bNamed) unnamed << QStringLiteral("the group of ") + Describe(*widget);
    }
  }
  unnamed.removeDuplicates();
  return unnamed;
}

}  // namespace tessary
