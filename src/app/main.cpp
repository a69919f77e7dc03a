// tessary: the desktop program.
#include <QApplication>

#include "app/app_icons.h"
#include "app/tessary_app.h"
#include "ui/prompt.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Tessary");
  QApplication::setOrganizationName("Tessary");
  // The desktop entry's name, so that the desktop ties the windows to its icon.
  QGuiApplication::setDesktopFileName("org.tessary.Tessary");
  QApplication::setWindowIcon(tessary::AppIcon());
  tessary::CTessaryApp app(std::make_unique<tessary::CWidgetPrompt>());
  if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
  const int status = QApplication::exec();
  app.ExitInstance();
  return status;
}
