#include "editor/format_bar.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QTextCharFormat>
#include <QTextDocument>
#include <cmath>

#include "editor/editor_host.h"
#include "editor/tessary_view.h"
#include "ui/fixed_font.h"
#include "ui/dialog_support.h"
#include "ui/prompt.h"

namespace tessary {

namespace {

constexpr int kFontSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

// A letter in its own style: the bar's buttons show what they do.
QIcon LetterIcon(const QString& letter, bool bBold, bool bItalic, bool bUnderline) {
  QIcon icon;
  for (int size : {16, 24, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(size * 3 / 4);
    font.setBold(bBold);
    font.setItalic(bItalic);
    font.setUnderline(bUnderline);
    painter.setFont(font);
    painter.setPen(QColor(40, 40, 48));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QIcon BulletIcon() {
  QIcon icon;
  for (int size : {16, 24, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    for (int i = 0; i < 3; ++i) {
      const qreal y = (3.5 + 4.5 * i) * unit;
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(40, 40, 48));
      painter.drawEllipse(QPointF(3 * unit, y), 1.5 * unit, 1.5 * unit);
      painter.setPen(QPen(QColor(110, 110, 120), 1.4 * unit));
      painter.drawLine(QPointF(6.5 * unit, y), QPointF(14.5 * unit, y));
    }
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

void Inform(const QString& text) {
  if (IEditorHost* host = EditorHost()) host->Prompt().Message(text, QString(), QMessageBox::Information);
}

}  // namespace

CFormatBar::CFormatBar(QWidget* parent) : QToolBar(parent) {
  setObjectName(QStringLiteral("FormatBar"));
  setWindowTitle(QStringLiteral("Formatting"));

  m_pFontBox = new QFontComboBox(this);
  m_pFontBox->setStatusTip(QStringLiteral("Changes the font of the selection"));
  m_pFontBox->setToolTip(QStringLiteral("Font"));
  NameControl(*m_pFontBox, QStringLiteral("Font"));
  addWidget(m_pFontBox);

  m_pSizeBox = new QComboBox(this);
  m_pSizeBox->setEditable(true);
  m_pSizeBox->setInsertPolicy(QComboBox::NoInsert);
  m_pSizeBox->setCompleter(nullptr);  // "1" must stay 1, not become 10
  for (int size : kFontSizes) m_pSizeBox->addItem(QString::number(size));
  m_pSizeBox->setMinimumContentsLength(4);
  m_pSizeBox->setStatusTip(QStringLiteral("Changes the font size of the selection"));
  m_pSizeBox->setToolTip(QStringLiteral("Font Size"));
  NameControl(*m_pSizeBox, QStringLiteral("Font Size"));
  addWidget(m_pSizeBox);

  auto makeStyle = [this](const QString& text, const QIcon& icon, const QKeySequence& key) {
    QAction* action = addAction(icon, text);
    action->setCheckable(true);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, [this, action](bool bChecked) { ApplyStyle(action, bChecked); });
    return action;
  };
  m_pBold = makeStyle(QStringLiteral("Bold"), LetterIcon(QStringLiteral("B"), true, false, false), QKeySequence::Bold);
  m_pItalic =
      makeStyle(QStringLiteral("Italic"), LetterIcon(QStringLiteral("I"), false, true, false), QKeySequence::Italic);
  m_pUnderline = makeStyle(QStringLiteral("Underline"), LetterIcon(QStringLiteral("U"), false, false, true),
                           QKeySequence::Underline);
  m_pGap = addSeparator();
  m_pBullet = addAction(BulletIcon(), QStringLiteral("Bullet"));
  m_pBullet->setCheckable(true);
  m_pBullet->setStatusTip(QStringLiteral("Inserts a bullet on this line"));
  connect(m_pBullet, &QAction::triggered, this, [this] {
    if (m_pView) m_pView->OnInsertBullet();
    UpdateFromView();
    FocusView();
  });

  connect(m_pFontBox, &QComboBox::textActivated, this, &CFormatBar::ApplyFamily);
  connect(m_pSizeBox, &QComboBox::activated, this, [this](int index) { ApplySizeText(m_pSizeBox->itemText(index)); });
  connect(m_pSizeBox->lineEdit(), &QLineEdit::returnPressed, this,
          [this] { ApplySizeText(m_pSizeBox->lineEdit()->text()); });
  UpdateFromView();
}

void CFormatBar::SetWordListAction(QAction* action) {
  if (m_pWordList) removeAction(m_pWordList);
  m_pWordList = action;
  if (action) insertAction(m_pGap, action);
}

void CFormatBar::SetView(CTessaryView* view) {
  if (m_pView == view) return;
  disconnect(m_connection);
  m_pView = view;
  if (view) m_connection = connect(view, &CTessaryView::CharFormatChanged, this, &CFormatBar::UpdateFromView);
  UpdateFromView();
}

void CFormatBar::UpdateFromView() {
  const bool bEnabled = m_pView && !m_pView->IsReadOnly();
  for (QWidget* widget : {static_cast<QWidget*>(m_pFontBox), static_cast<QWidget*>(m_pSizeBox)})
    widget->setEnabled(bEnabled);
  for (QAction* action : {m_pBold, m_pItalic, m_pUnderline, m_pBullet}) action->setEnabled(bEnabled);
  if (!m_pView) return;
  const QFont font = m_pView->CurrentCharFormat().font().resolve(m_pView->Document()->defaultFont());
  {
    // The face the text is really drawn with, which for a face not installed is
    // another than the one the text names.
    const QString used = RenderedFamily(font);
    const QSignalBlocker block(m_pFontBox);
    m_pFontBox->setCurrentFont(QFont(used));
    m_pFontBox->setEditText(used);
  }
  {
    const QSignalBlocker block(m_pSizeBox);
    m_pSizeBox->setEditText(font.pointSizeF() > 0 ? QString::number(font.pointSizeF(), 'g', 4) : QString());
  }
  m_pBold->setChecked(font.weight() >= QFont::DemiBold);
  m_pItalic->setChecked(font.italic());
  m_pUnderline->setChecked(font.underline());
  m_pBullet->setChecked(m_pView->HasBullet());
}

void CFormatBar::FocusView() {
  if (m_pView) m_pView->Editor()->setFocus();
}

void CFormatBar::ApplyStyle(QAction* action, bool bChecked) {
  if (!m_pView) return;
  QTextCharFormat format;
  if (action == m_pBold) format.setFontWeight(bChecked ? QFont::Bold : QFont::Normal);
  else if (action == m_pItalic) format.setFontItalic(bChecked);
  else format.setFontUnderline(bChecked);
  m_pView->MergeCharFormat(format);
  FocusView();
}

void CFormatBar::ApplyFamily(const QString& family) {
  if (!m_pView || family.trimmed().isEmpty()) return;
  if (!m_pView->AcceptsFace(QFont(family.trimmed()))) {
    UpdateFromView();
    return;
  }
  QTextCharFormat format;
  format.setFontFamilies(QStringList{family.trimmed()});
  m_pView->MergeCharFormat(format);
  FocusView();
}

bool CFormatBar::ApplySizeText(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return true;
  bool bOk = false;
  const double points = trimmed.toDouble(&bOk);
  if (!bOk || !std::isfinite(points)) {
    Inform(QStringLiteral("The number is not valid"));
    m_pSizeBox->lineEdit()->selectAll();
    return false;
  }
  // Sizes are kept in twips, as the text's format has them.
  const double twips = std::round(points * 20);
  if (twips < 20 || twips > 32760) {
    Inform(QStringLiteral("The font size is not valid"));
    m_pSizeBox->lineEdit()->selectAll();
    return false;
  }
  if (!m_pView) return true;
  QTextCharFormat format;
  format.setFontPointSize(twips / 20);
  m_pView->MergeCharFormat(format);
  FocusView();
  return true;
}

}  // namespace tessary
