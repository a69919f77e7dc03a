// tessary: the desktop program.
#include <QApplication>

#include "app/app_icons.h"
#include "app/tessary_app.h"
#include "browser/web_engine_env.h"
#include "ui/prompt.h"

int main(int argc, char** argv) {
  // The web engine reads these once, when it loads: only what this machine needs.
  tessary::PrepareWebEngineEnvironment();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  QApplication::setApplicationName("Tessary");
  QApplication::setOrganizationName("Tessary");
  QApplication::setWindowIcon(tessary::AppIcon());
  tessary::CTessaryApp app(std::make_unique<tessary::CWidgetPrompt>());
  if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
  const int status = QApplication::exec();
  app.ExitInstance();
  return status;
}
