#include "app/program_info.h"

#include <QSysInfo>
#include <array>

namespace tessary {

QString ProgramVersion() { return QStringLiteral(TESSARY_VERSION); }

QString PlatformName() {
#if defined(Q_OS_LINUX)
  return QStringLiteral("Linux");
#else
  return QSysInfo::productType();
#endif
}

QString FormatByteSize(std::int64_t nBytes) {
  if (nBytes < 1024) return QStringLiteral("%1 bytes").arg(nBytes);
  static constexpr std::array kUnits = {"KB", "MB", "GB", "TB", "PB", "EB"};
  double value = static_cast<double>(nBytes) / 1024;
  std::size_t unit = 0;
  // 1023.96 MB shows as 1024.0 MB otherwise: the unit goes up once the rounded
  // figure would.
  while (value >= 1023.95 && unit + 1 < kUnits.size()) {
    value /= 1024;
    ++unit;
  }
  return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(kUnits[unit]));
}

InfoOption InfoOptionOf(const QStringList& args) {
  for (const QString& arg : args) {
    if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "/?") return InfoOption::kHelp;
    if (arg == "--version" || arg == "-v") return InfoOption::kVersion;
  }
  return InfoOption::kNone;
}

QString UsageText() {
  return QStringLiteral(
      "Usage: tessary [options] [FILE]\n"
      "The Tessary concordancer and word profiler for the desktop; FILE is opened in a window.\n"
      "\n"
      "Options:\n"
      "  -t, /t                   open FILE (and every file opened later) as plain text\n"
      "  -p FILE                  print FILE on the default printer and end\n"
      "  -pt FILE PRINTER DRIVER PORT\n"
      "                           print FILE on PRINTER and end\n"
      "  -h, --help               print this help and end\n"
      "  -v, --version            print the version and end\n"
      "\n"
      "Qt's own options (such as -platform offscreen) are taken as well.\n"
      "Concordances without a desktop: tessary-cli --help\n");
}

}  // namespace tessary
