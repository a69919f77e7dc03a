#include "app/intro_window.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "app/app_icons.h"
#include "ui/screen_fit.h"

namespace tessary {

namespace {

// The picture in a black frame with a dark-grey shadow along its right and bottom
// edges.
class CFramedPicture : public QWidget {
 public:
  explicit CFramedPicture(const QPixmap& picture) : m_picture(picture) {
    setFixedSize(picture.deviceIndependentSize().toSize() + QSize(8, 8));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QSize inner = m_picture.deviceIndependentSize().toSize() + QSize(4, 4);
    p.fillRect(QRect(QPoint(4, 4), inner), Qt::darkGray);
    p.fillRect(QRect(QPoint(0, 0), inner), Qt::black);
    p.drawPixmap(2, 2, m_picture);
  }

 private:
  QPixmap m_picture;
};

}  // namespace

const QStringList& CIntroWindow::Lines() {
  static const QStringList lines = {
      "Tessary Concordance and Word Profiler",
      "For Linux Operating Systems",
      "",
      "This software provides concordancing utilities for text",
      "analysis. Texts can be input from one or multiple files. ",
      "Concordances can be sorted by right and left collocates, ",
      "and collocates listed with frequency counts. An index ",
      "is kept when the concordances are created so that ",
      "contexts may be viewed.",
  };
  return lines;
}

CIntroWindow::CIntroWindow(QWidget* frame)
    : QWidget(frame, Qt::SplashScreen | Qt::FramelessWindowHint), m_pFrame(frame) {
  setObjectName("IntroWindow");
  setAttribute(Qt::WA_DeleteOnClose);
  setAutoFillBackground(true);
  auto* text = new QVBoxLayout;
  text->setSpacing(0);
  for (const QString& line : Lines()) {
    auto* label = new QLabel(line.isEmpty() ? QStringLiteral(" ") : line);
    if (&line == &Lines().front()) {
      QFont bold = label->font();
      bold.setBold(true);
      label->setFont(bold);
    }
    text->addWidget(label);
  }
  text->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setSpacing(16);
  layout->addWidget(new CFramedPicture(IntroPicture()), 0, Qt::AlignTop);
  layout->addLayout(text);
  // Every input of the program passes here first, as through a message filter.
  qApp->installEventFilter(this);
}

CIntroWindow::~CIntroWindow() { qApp->removeEventFilter(this); }

void CIntroWindow::ShowOver(QWidget* frame) {
  m_pFrame = frame;
  adjustSize();
  Centre();
  show();
  raise();
  repaint();
}

void CIntroWindow::Centre() {
  const QRect available = m_pFrame ? AvailableArea(*m_pFrame) : AvailableArea(*this);
  const QRect over = m_pFrame && m_pFrame->isVisible() ? m_pFrame->frameGeometry() : available;
  move(CentredOn(frameGeometry().size(), over, available).topLeft());
}

bool CIntroWindow::eventFilter(QObject* watched, QEvent* event) {
  // The window manager places and sizes the main window after it is shown: the intro
  // window follows it to its real place.
  if (watched == m_pFrame && m_pFrame->isWindow()) {
    switch (event->type()) {
      case QEvent::Show: case QEvent::Move: case QEvent::Resize: case QEvent::WindowStateChange:
        if (!m_bDismissed && isVisible()) Centre();
        return false;
      default: break;
    }
  }
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
      Dismiss();
      break;
    default:
      break;
  }
  return false;  // the input itself goes on as usual
}

void CIntroWindow::Dismiss() {
  if (m_bDismissed) return;
  m_bDismissed = true;
  qApp->removeEventFilter(this);
  close();
  if (m_pFrame) m_pFrame->update();
}

void CIntroWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter p(this);
  p.setPen(palette().color(QPalette::Mid));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace tessary
