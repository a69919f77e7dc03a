#pragma once
// Every dialog model of the program, made ready to show, for the tests that walk the
// real widgets. A new dialog joins with one line in all_dialogs.cpp; a test checks
// that no class deriving from CDialogModel is missing.
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "ui/prompt.h"

class QPrinter;

namespace tessary::test {

struct CDialogCase {
  QString m_strClass;  // the model's class, as its source declares it
  QString m_strCase;   // which form of it, for the failure message
  // Makes the model; null for a dialog the platform provides whole (print, page setup).
  std::function<std::unique_ptr<CDialogModel>(IPrompt& prompt, QPrinter& printer)> m_fnMake;
};

const std::vector<CDialogCase>& AllDialogs();

}  // namespace tessary::test
