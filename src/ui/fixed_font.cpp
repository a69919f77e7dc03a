#include "ui/fixed_font.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace tessary {

namespace {

// Liberation Mono and Cousine have Courier New's metrics; the rest are the common
// monospace faces of Linux desktops.
constexpr const char* kMonospaceFaces[] = {"Liberation Mono", "Cousine",   "Nimbus Mono PS", "Nimbus Mono L",
                                           "FreeMono",        "DejaVu Sans Mono", "Noto Sans Mono", "Monospace"};

bool InstalledFixed(const QString& family) {
  return !family.isEmpty() && QFontDatabase::hasFamily(family) && QFontDatabase::isFixedPitch(family);
}

}  // namespace

QString InstalledFixedFamily(const QString& family) {
  if (InstalledFixed(family)) return family;
  for (const char* face : kMonospaceFaces)
    if (InstalledFixed(QString::fromLatin1(face))) return QString::fromLatin1(face);
  return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

QFont FixedFont(const QString& family, int nPointSize) {
  QFont font(InstalledFixedFamily(family), nPointSize);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

QString RenderedFamily(const QFont& font) { return QFontInfo(font).family(); }

bool IsFixedPitch(const QFont& font) { return QFontInfo(font).fixedPitch(); }

}  // namespace tessary
