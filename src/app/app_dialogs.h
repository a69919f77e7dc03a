#pragma once
// The application object's own dialogs, as models run through IPrompt::Exec.
#include <QString>
#include <QStringList>
#include <cstdint>

#include "ui/prompt.h"

class QPrinter;

namespace tessary {

// Physical memory in bytes; 0 when unknown.
struct CMemoryStatus {
  std::int64_t m_nAvailable = 0;
  std::int64_t m_nTotal = 0;
};
CMemoryStatus ReadMemoryStatus();
// Parses the text of /proc/meminfo.
CMemoryStatus ParseMemInfo(const QByteArray& text);

// "About Tessary": the program icon, the program line and the two memory figures,
// read when the dialog is made.
class CAboutDialog : public CDialogModel {
 public:
  CAboutDialog();
  CMemoryStatus m_memory;

  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog&) override {}
};

// "Print Setup": the printer and its options; the system dialog writes into the
// printer.
class CPrintSetupDialog : public CDialogModel {
 public:
  explicit CPrintSetupDialog(QPrinter& printer) : m_printer(printer) {}
  QPrinter& m_printer;

  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog&) override {}
};

}  // namespace tessary
