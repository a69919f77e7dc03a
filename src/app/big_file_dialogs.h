#pragma once
// The big file viewer's dialogs, as models the prompt runs.
#include <QString>

#include "ui/prompt.h"

namespace tessary {

// "Find string": the string a quick search or the highlight looks for.
class CFindStringDialog : public CDialogModel {
 public:
  QString m_strText;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

// "Go to": a byte offset or a percentage of the file.
class CGoToDialog : public CDialogModel {
 public:
  QString m_strWhere;
  qint64 m_nLength = 0;  // shown, so the user knows the range
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

}  // namespace tessary
