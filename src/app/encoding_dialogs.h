#pragma once
// The dialogs of the code-page and encoding choices, as models the prompt runs.
#include <QString>

#include "ui/prompt.h"

namespace tessary {

// "Language / Page Code Selection": the code-page list, editable; its text is taken as
// typed and matched by the caller.
class CCodePageDialog : public CDialogModel {
 public:
  QString m_strCodePage;  // in: the current choice's name; out: the text of the list
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

// "Select encoding to use ": the Unicode encoding of a file to write.
class CEncodingDialog : public CDialogModel {
 public:
  QString m_strEncoding = "UTF-8";
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

}  // namespace tessary
