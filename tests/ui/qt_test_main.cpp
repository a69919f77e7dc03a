// Runs the program's tests in a QApplication on the offscreen platform, with a
// private runtime directory, whatever environment the test runner gives.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

#include "browser/web_engine_env.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
  ::setenv("LC_ALL", "C", 1);  // collation by the root order, as in every test
  // The browser's tests start the web engine: as the program does, with what it needs.
  tessary::PrepareWebEngineEnvironment();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  QApplication::setApplicationName("TessaryTests");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
