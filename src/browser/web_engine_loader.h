#pragma once
// Loads the web engine module (libtessary_webengine.so) the first time a page is
// wanted. The module is looked for beside the program, then in ../libexec/tessary; when it
// or the engine's libraries are missing, the browser is unavailable and says why.
#include <QString>
#include <memory>

#include "browser/web_pane.h"

class QWidget;

namespace tessary {

// A new page area in parent, or nullptr with the reason in error.
std::unique_ptr<IWebPane> CreateWebPane(QWidget* parent, QString& error);

// Tests: load the module from this path instead ("" goes back to the usual places).
void SetWebEngineModulePath(const QString& path);

}  // namespace tessary
