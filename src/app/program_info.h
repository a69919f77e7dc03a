#pragma once
// What the program says about itself: its version, the system it runs on, memory
// figures as a person reads them, and the command line's usage.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace tessary {

QString ProgramVersion();
// The operating system the program was built for ("Linux").
QString PlatformName();
// A byte count in the largest unit that keeps it at least 1, with one decimal from KB
// on (units of 1024): "512 bytes", "1.5 KB", "20.8 GB".
QString FormatByteSize(std::int64_t nBytes);

// Options the program answers before it starts: --help and --version print and end
// the process. Anything else is left to Qt and the command line proper.
enum class InfoOption { kNone, kHelp, kVersion };
InfoOption InfoOptionOf(const QStringList& args);
QString UsageText();

}  // namespace tessary
