#include "app/app_dialogs.h"

#include <unistd.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

#include "app/app_icons.h"
#include "app/program_info.h"
#include "ui/dialog_support.h"

namespace tessary {

CMemoryStatus ParseMemInfo(const QByteArray& text) {
  CMemoryStatus status;
  for (const QByteArray& line : text.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon < 0) continue;
    const QByteArray key = line.left(colon);
    QByteArray value = line.mid(colon + 1).trimmed();
    std::int64_t scale = 1;
    if (value.endsWith(" kB")) {
      value.chop(3);
      scale = 1024;
    }
    bool ok = false;
    const std::int64_t n = value.trimmed().toLongLong(&ok);
    if (!ok) continue;
    if (key == "MemTotal") status.m_nTotal = n * scale;
    if (key == "MemAvailable") status.m_nAvailable = n * scale;
  }
  return status;
}

CMemoryStatus ReadMemoryStatus() {
  CMemoryStatus status;
  QFile file("/proc/meminfo");
  if (file.open(QIODevice::ReadOnly)) status = ParseMemInfo(file.readAll());
  const std::int64_t page = ::sysconf(_SC_PAGESIZE);
  if (status.m_nTotal <= 0 && page > 0) status.m_nTotal = std::int64_t{::sysconf(_SC_PHYS_PAGES)} * page;
  if (status.m_nAvailable <= 0 && page > 0) status.m_nAvailable = std::int64_t{::sysconf(_SC_AVPHYS_PAGES)} * page;
  return status;
}

CAboutDialog::CAboutDialog() : m_memory(ReadMemoryStatus()) {}

std::unique_ptr<QDialog> CAboutDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle("About Tessary");
  auto* icon = new QLabel;
  icon->setPixmap(AppIcon().pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);
  auto* text = new QVBoxLayout;
  text->addWidget(new QLabel(QStringLiteral("Tessary %1 Application").arg(PlatformName())));
  text->addWidget(new QLabel(QStringLiteral("Version %1").arg(ProgramVersion())));
  auto* figures = new QFormLayout;
  auto* available = new QLabel(FormatByteSize(m_memory.m_nAvailable));
  auto* total = new QLabel(FormatByteSize(m_memory.m_nTotal));
  available->setObjectName("available");
  total->setObjectName("total");
  figures->addRow("Available memory", available);
  figures->addRow("Total memory", total);
  text->addLayout(figures);
  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addLayout(text, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog.get(), &QDialog::accept);
  auto* layout = new QVBoxLayout(dialog.get());
  layout->addLayout(top);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  return dialog;
}

std::unique_ptr<QDialog> CPrintSetupDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QPrintDialog>(&m_printer, parent);
  dialog->setWindowTitle("Print Setup");
  // Only the printer and its options are chosen here, not what to print.
  dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
  dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  NamePrintDialogControls(*dialog);
  return dialog;
}

}  // namespace tessary
