#include "app/app_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <functional>

#include "app/command_ids.h"

namespace tessary {

namespace {

using Draw = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 48);
const QColor kPaper(255, 255, 255);
const QColor kKeyword(200, 0, 200);  // the list window's keyword colour

// Every drawing is made on a 32 x 32 canvas and scaled to the size asked for.
QPixmap Render(const Draw& draw, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 32.0, size / 32.0);
  draw(painter);
  painter.end();
  return pixmap;
}

// At every size a tool bar or title bar may ask for.
QIcon MakeIcon(const Draw& draw) {
  QIcon icon;
  for (int size : {16, 20, 24, 32, 48, 64}) icon.addPixmap(Render(draw, size));
  return icon;
}

void Page(QPainter& p, const QRectF& r) {
  QPainterPath path;
  const qreal fold = r.width() / 3;
  path.moveTo(r.topLeft());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.bottomRight());
  path.lineTo(r.bottomLeft());
  path.closeSubpath();
  p.setPen(QPen(kInk, 1.6));
  p.setBrush(kPaper);
  p.drawPath(path);
  p.drawPolyline(QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                            QPointF(r.right(), r.top() + fold)}));
}

void TextLines(QPainter& p, const QRectF& r, int n) {
  p.setPen(QPen(QColor(120, 120, 130), 1.6));
  for (int i = 0; i < n; ++i) {
    const qreal y = r.top() + i * r.height() / std::max(1, n - 1);
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
  }
}

void Magnifier(QPainter& p, const QPointF& centre, qreal radius) {
  p.setPen(QPen(kInk, radius / 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.8, radius * 1.8));
  p.setPen(QPen(kInk, 2));
  p.setBrush(QColor(190, 225, 255));
  p.drawEllipse(centre, radius, radius);
}

// Lines of context with the keywords in one coloured column.
void Concordance(QPainter& p, const QRectF& r) {
  const int n = 5;
  const qreal step = r.height() / n;
  for (int i = 0; i < n; ++i) {
    const qreal y = r.top() + step * (i + 0.5);
    const qreal left = r.left() + (i % 2 ? 0 : r.width() * 0.12);
    const qreal right = r.right() - (i % 3 ? 0 : r.width() * 0.1);
    p.setPen(QPen(QColor(110, 110, 120), step * 0.45));
    p.drawLine(QPointF(left, y), QPointF(right, y));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(kKeyword);
  p.drawRect(QRectF(r.center().x() - r.width() * 0.12, r.top(), r.width() * 0.24, r.height()));
}

void Circle(QPainter& p, const QPointF& c, qreal r, const QColor& fill) {
  p.setPen(QPen(kInk, 1.4));
  p.setBrush(fill);
  p.drawEllipse(c, r, r);
}

void Glyph(QPainter& p, const QRectF& r, const QString& text, const QColor& colour, int pixelSize) {
  QFont font("Sans Serif");
  font.setBold(true);
  font.setPixelSize(pixelSize);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(r, Qt::AlignCenter, text);
}

// A dark tile holding a white page of concordance lines, keywords in one column.
// packaging/icons/org.tessary.Tessary.svg is the same drawing: change both together.
void DrawAppIcon(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 60, 110));
  p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  p.setBrush(kPaper);
  p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
  Concordance(p, QRectF(7, 7, 18, 18));
}

Draw DrawingOf(int id) {
  switch (id) {
    case ids::kFileNew:
      return [](QPainter& p) { Page(p, QRectF(7, 3, 18, 26)); };
    case ids::kFileOpen:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(QColor(235, 190, 70));
        p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(12, 8), QPointF(14, 11), QPointF(27, 11), QPointF(27, 26),
                                 QPointF(3, 26)}));
        p.setBrush(QColor(250, 215, 110));
        p.drawPolygon(QPolygonF({QPointF(7, 15), QPointF(30, 15), QPointF(27, 26), QPointF(3, 26)}));
      };
    case ids::kFileSave:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(QColor(60, 100, 180));
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(9, 19, 14, 9));
      };
    case ids::kEditCut:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 18), QPointF(22, 3));
        p.drawLine(QPointF(21, 18), QPointF(10, 3));
        Circle(p, QPointF(9, 23), 4.5, kPaper);
        Circle(p, QPointF(23, 23), 4.5, kPaper);
      };
    case ids::kEditCopy:
      return [](QPainter& p) {
        Page(p, QRectF(4, 3, 15, 20));
        Page(p, QRectF(13, 9, 15, 20));
      };
    case ids::kEditPaste:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(QColor(180, 130, 70));
        p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(9, 3, 10, 5));
        Page(p, QRectF(14, 12, 15, 18));
      };
    case ids::kEditFind:
      return [](QPainter& p) { Magnifier(p, QPointF(13, 13), 8); };
    case ids::kFilePrint:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(170, 170, 180));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 20, 14, 9));
        p.setBrush(QColor(80, 200, 80));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(25, 16), 1.5, 1.5);
      };
    case ids::kFilePrintPreview:
      return [](QPainter& p) {
        Page(p, QRectF(4, 3, 18, 26));
        TextLines(p, QRectF(7, 12, 11, 12), 4);
        Magnifier(p, QPointF(19, 17), 6);
      };
    case ids::kConcordanceSearch:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 4, 26, 24));
        Concordance(p, QRectF(6, 7, 20, 18));
      };
    case ids::kPlexonSearch:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.6));
        const QPointF node(16, 17);
        const QPointF words[] = {QPointF(6, 7), QPointF(26, 7), QPointF(16, 28)};
        for (const QPointF& w : words) p.drawLine(node, w);
        Circle(p, words[0], 4, QColor(255, 0, 0));
        Circle(p, words[1], 4, QColor(0, 0, 255));
        Circle(p, words[2], 3.5, QColor(255, 125, 0));
        Circle(p, node, 5.5, kKeyword);
      };
    case ids::kTestAnswer:
      return [](QPainter& p) {
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(QColor(255, 245, 170));
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(3, 3, 26, 19), 5, 5);
        bubble.moveTo(9, 21);
        bubble.lineTo(7, 29);
        bubble.lineTo(16, 21);
        p.drawPath(bubble.simplified());
        Glyph(p, QRectF(3, 2, 26, 20), "?", kInk, 16);
      };
    case ids::kNetDictionary:
      return [](QPainter& p) {
        Circle(p, QPointF(16, 16), 12.5, QColor(70, 140, 220));
        p.setPen(QPen(kPaper, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 5.5, 12.5);
        p.drawLine(QPointF(3.5, 16), QPointF(28.5, 16));
        p.drawLine(QPointF(16, 3.5), QPointF(16, 28.5));
        p.drawLine(QPointF(6, 9), QPointF(26, 9));
        p.drawLine(QPointF(6, 23), QPointF(26, 23));
      };
    case ids::kHelp:
      return [](QPainter& p) {
        Circle(p, QPointF(16, 16), 13, QColor(40, 110, 200));
        Glyph(p, QRectF(3, 3, 26, 26), "?", kPaper, 20);
      };
    default:
      return {};
  }
}

}  // namespace

QIcon AppIcon() {
  static const QIcon icon = MakeIcon(DrawAppIcon);
  return icon;
}

QPixmap AppIconPixmap(int size) { return Render(DrawAppIcon, size); }

QIcon CommandIcon(int id) {
  const Draw draw = DrawingOf(id);
  return draw ? MakeIcon(draw) : QIcon();
}

QPixmap IntroPicture() {
  // A few concordance lines, keywords in one column as the list window shows them.
  const char* lines[][3] = {
      {"ld water-", "mill", " stood by"}, {"had left the ", "mill", " at dawn"},
      {"e sound of the ", "mill", "-wheel"}, {"er past the ", "mill", " and on"},
      {"feared the ", "mill", " would"},  {"lights of the ", "mill", " went out"},
  };
  constexpr int kLeft = 14, kRight = 10;  // characters of context shown on each side
  QFont mono("Monospace");
  mono.setStyleHint(QFont::TypeWriter);
  mono.setPixelSize(11);
  QFont bold = mono;
  bold.setBold(true);
  const QFontMetrics fm(mono), fmBold(bold);
  const int column = 8 + fm.horizontalAdvance(QString(kLeft, 'x'));
  const int width = column + fmBold.horizontalAdvance("mill") + fm.horizontalAdvance(QString(kRight, 'x')) + 8;
  const int top = 40, step = fm.height() + 3;
  QPixmap pixmap(width, top + step * int(std::size(lines)) + 6);
  pixmap.fill(QColor(250, 250, 245));
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  int y = top + fm.ascent();
  for (const auto& line : lines) {
    const QString left = QString::fromLatin1(line[0]).rightJustified(kLeft, ' ');
    p.setFont(mono);
    p.setPen(kInk);
    p.drawText(column - fm.horizontalAdvance(left), y, left);
    p.setFont(bold);
    p.setPen(kKeyword);
    p.drawText(column, y, line[1]);
    p.setFont(mono);
    p.setPen(kInk);
    p.drawText(column + fmBold.horizontalAdvance(line[1]), y, QString::fromLatin1(line[2]).left(kRight));
    y += step;
  }
  QFont title("Serif");
  title.setPixelSize(22);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(30, 60, 110));
  p.drawText(QRect(0, 4, pixmap.width(), 30), Qt::AlignCenter, "Tessary");
  return pixmap;
}

}  // namespace tessary
