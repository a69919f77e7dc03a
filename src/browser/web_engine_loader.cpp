#include "browser/web_engine_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace tessary {

namespace {

using CreateFunction = IWebPane* (*)(QWidget*);
constexpr const char* kModuleName = "libtessary_webengine.so";
constexpr const char* kEntryPoint = "TessaryCreateWebPane";

QString g_strOverride;

QStringList Candidates() {
  if (!g_strOverride.isEmpty()) return {g_strOverride};
  const QDir bin(QCoreApplication::applicationDirPath());
  // Installed: <prefix>/<libdir>/tessary, the libdir the build was installed with.
  return {bin.filePath(kModuleName),
          QDir::cleanPath(bin.filePath(QStringLiteral("../" TESSARY_MODULE_DIR "/") + kModuleName))};
}

}  // namespace

void SetWebEngineModulePath(const QString& path) { g_strOverride = path; }

std::unique_ptr<IWebPane> CreateWebPane(QWidget* parent, QString& error) {
  QString reason = QStringLiteral("The web engine module %1 was not found.").arg(kModuleName);
  for (const QString& path : Candidates()) {
    if (!QFileInfo::exists(path)) continue;
    // Never unloaded: its pages and the engine's threads live until the program ends.
    QLibrary library(path);
    const auto create = reinterpret_cast<CreateFunction>(library.resolve(kEntryPoint));
    if (!create) {
      reason = library.errorString();
      continue;
    }
    if (IWebPane* pane = create(parent)) return std::unique_ptr<IWebPane>(pane);
    reason = QStringLiteral("The web engine could not make a page.");
  }
  error = reason;
  return nullptr;
}

}  // namespace tessary
