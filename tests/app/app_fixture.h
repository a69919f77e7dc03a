#pragma once
// A started program (hidden frame) with scripted answers and a private options file.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "ui/scripted_prompt.h"

namespace tessary::test {

class AppTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (m_pPrompt) {
      EXPECT_TRUE(m_pPrompt->Exhausted()) << "scripted answers left over";
    }
    if (m_pApp) {
      for (CTessaryDoc* doc : m_pApp->Documents()) doc->SetModified(false);
    }
    m_pApp.reset();
    Flush();
  }

  // A new application object; started with args unless bStart is false.
  CTessaryApp& Start(const QStringList& args = {}, bool bStart = true) {
    m_pApp.reset();
    auto prompt = std::make_unique<CScriptedPrompt>();
    m_pPrompt = prompt.get();
    m_pApp = std::make_unique<CTessaryApp>(std::move(prompt), SettingsPath());
    if (bStart) {
      EXPECT_TRUE(m_pApp->InitInstance(args, false));
    }
    return *m_pApp;
  }
  CMainFrame& Frame() { return *m_pApp->MainFrame(); }

  QString SettingsPath() const { return m_dir.filePath("options.ini"); }
  QString Write(const QString& name, const QByteArray& bytes) const {
    QFile file(m_dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return m_dir.filePath(name);
  }
  // Windows close through deferred deletion; this lets them go.
  static void Flush() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  QTemporaryDir m_dir;
  CScriptedPrompt* m_pPrompt = nullptr;
  std::unique_ptr<CTessaryApp> m_pApp;
};

}  // namespace tessary::test
