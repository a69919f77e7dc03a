#pragma once
// A scripted host set for the test, a private directory for files, and documents made
// directly.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "editor/scripted_host.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"

namespace tessary::test {

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override { SetEditorHost(&m_host); }
  void TearDown() override {
    EXPECT_TRUE(m_pPrompt->Exhausted()) << "scripted answers left over";
    SetEditorHost(nullptr);
  }

  QString Path(const QString& name) const { return m_dir.filePath(name); }
  QString Write(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return Path(name);
  }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // A document as the application makes one for the file, opened; nullptr on failure.
  std::unique_ptr<CTessaryDoc> Open(const QString& path) {
    auto doc = std::make_unique<CTessaryDoc>(CTessaryDoc::WantsPlainLayout(path));
    if (!doc->OnOpenDocument(path)) return nullptr;
    return doc;
  }
  QString LastMessage() const {
    return m_pPrompt->m_arrMessages.isEmpty() ? QString() : m_pPrompt->m_arrMessages.back();
  }

  QTemporaryDir m_dir;
  CScriptedHost m_host;
  CScriptedPrompt* m_pPrompt = &m_host.m_prompt;
};

}  // namespace tessary::test
