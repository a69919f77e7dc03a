// tessary-render-icons: makes the installed program icons from the same drawing as the
// window icon, and checks that the committed ones still match it.
//   tessary-render-icons OUTDIR          writes OUTDIR/NxN/apps/org.tessary.Tessary.png
//   tessary-render-icons --check DIR     exit 1 if any icon under DIR differs
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "app/app_icons.h"

// The raster engine's anti-aliasing rounds a little differently on different
// processors (its vector paths differ), so a pixel may be off by a level or two on one
// channel; a changed drawing moves far more than that.
bool SameDrawing(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return false;
  constexpr int kLevels = 2;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (std::abs(qRed(p) - qRed(q)) > kLevels || std::abs(qGreen(p) - qGreen(q)) > kLevels ||
          std::abs(qBlue(p) - qBlue(q)) > kLevels || std::abs(qAlpha(p) - qAlpha(q)) > kLevels)
        return false;
    }
  return true;
}

int main(int argc, char** argv) {
  const bool bCheck = argc == 3 && QByteArray(argv[1]) == "--check";
  if (argc != 2 && !bCheck) {
    std::fputs("Usage: tessary-render-icons OUTDIR | --check DIR\n", stderr);
    return 2;
  }
  // Rendering needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QDir dir(QString::fromLocal8Bit(argv[argc - 1]));
  int status = 0;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString sub = QStringLiteral("%1x%1/apps").arg(size);
    const QString path = dir.filePath(sub + "/org.tessary.Tessary.png");
    const QImage drawn = tessary::AppIconPixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    if (bCheck) {
      const QImage stored = QImage(path).convertToFormat(QImage::Format_ARGB32);
      if (!SameDrawing(stored, drawn)) {
        std::fprintf(stderr, "%s differs from the drawing: run tessary-render-icons %s\n", qPrintable(path),
                     qPrintable(dir.path()));
        status = 1;
      }
    } else if (!dir.mkpath(sub) || !drawn.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      status = 1;
    }
  }
  return status;
}
