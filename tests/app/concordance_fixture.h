#pragma once
// A running program with scripted answers, for whole command flows.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTextDocument>
#include <memory>

#include "app/concordance_controller.h"
#include "app/concordance_dialogs.h"
#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "ui/scripted_prompt.h"

namespace tessary::test {

// The character format at a position of a window's text.
QTextCharFormat FormatAt(const CTessaryView* view, int position);

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new document holding text, with a path so its lines can name it.
  CTessaryDoc* OpenText(const QString& text, const QString& path = QString());
  // Scripts "Select Code Set" and "Concordance Selection" and presses F5.
  void Search(const QString& key, const QString& sortMode = "Sort Right", bool numbers = true, int mode = 0,
              bool unicode = false);
  // Runs the event loop until the running search or sort has ended.
  void WaitForRun();
  // The newest document's first view.
  CTessaryView* NewestView() const;
  QString TextOf(const CTessaryView* view) const;

  QTemporaryDir m_dir;
  CScriptedPrompt* m_pPrompt = nullptr;
  std::unique_ptr<CTessaryApp> m_pApp;
};

}  // namespace tessary::test
