// tessary: the desktop program.
#include <QApplication>
#include <cstdio>

#include "app/app_icons.h"
#include "app/program_info.h"
#include "app/tessary_app.h"
#include "browser/web_engine_env.h"
#include "ui/prompt.h"

int main(int argc, char** argv) {
  // --help and --version answer before any window system is needed.
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  switch (tessary::InfoOptionOf(args)) {
    case tessary::InfoOption::kHelp:
      std::fputs(tessary::UsageText().toLocal8Bit().constData(), stdout);
      return 0;
    case tessary::InfoOption::kVersion:
      std::printf("tessary %s\n", tessary::ProgramVersion().toLocal8Bit().constData());
      return 0;
    case tessary::InfoOption::kNone: break;
  }

  // The web engine reads these once, when it loads: only what this machine needs.
  tessary::PrepareWebEngineEnvironment();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  QApplication::setApplicationName("Tessary");
  QApplication::setOrganizationName("Tessary");
  // The desktop entry's name, so that the desktop ties the windows to its icon.
  QGuiApplication::setDesktopFileName("org.tessary.Tessary");
  QApplication::setWindowIcon(tessary::AppIcon());
  tessary::CTessaryApp app(std::make_unique<tessary::CWidgetPrompt>());
  if (!app.InitInstance(QApplication::arguments().mid(1))) {
    if (!app.StartFailure().isEmpty())
      std::fprintf(stderr, "tessary: %s\n", app.StartFailure().toLocal8Bit().constData());
    return 1;
  }
  const int status = QApplication::exec();
  app.ExitInstance();
  return status;
}
