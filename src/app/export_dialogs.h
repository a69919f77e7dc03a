#pragma once
// The keyword asked for when a window that is not a concordance list is stored in a
// concordance database.
#include <QString>

#include "ui/prompt.h"

namespace tessary {

class CDatabaseKeywordDialog : public CDialogModel {
 public:
  QString m_strKeyword;  // in: the last one typed for the window; out: the one typed
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

}  // namespace tessary
