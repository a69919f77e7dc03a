#include "app/browser_controller.h"

#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <new>

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "app/web_view.h"
#include "engine/web_lookup.h"
#include "ui/qt_text.h"
#include "ui/dialog_support.h"

namespace tessary {

namespace {

constexpr const char* kOptionsCaption = "Browser Options";

// The fields of the options, in the dialog's order: settings key, label, member.
struct CEndpointField {
  const char* m_pszKey;
  const char* m_pszLabel;
  QString CWebEndpoints::*m_pMember;
};

constexpr CEndpointField kFields[] = {
    {"WebDictionary", "&Dictionary look-up:", &CWebEndpoints::m_strDictionary},
    {"WebHome", "&Home page:", &CWebEndpoints::m_strHome},
    {"WebConcordancer", "Web &concordancer:", &CWebEndpoints::m_strConcordancer},
    {"WebConcordancerHelp", "Online h&elp:", &CWebEndpoints::m_strConcordancerHelp},
    {"WebTutorial", "Online web &tutorial:", &CWebEndpoints::m_strTutorial},
};

QString FieldName(const CEndpointField& field) { return QString::fromLatin1(field.m_pszLabel).remove('&').chopped(1); }

bool IsWebAddress(const QString& address) { return static_cast<bool>(CheckWebAddress(address.toStdString())); }

}  // namespace

// ---- Options ----

void ReadWebEndpoints(const QSettings& settings, CWebEndpoints& endpoints) {
  for (const CEndpointField& field : kFields) {
    const QString value = settings.value(field.m_pszKey).toString().trimmed();
    if (IsWebAddress(value)) endpoints.*field.m_pMember = value;
  }
}

void WriteWebEndpoints(QSettings& settings, const CWebEndpoints& endpoints) {
  for (const CEndpointField& field : kFields) settings.setValue(field.m_pszKey, endpoints.*field.m_pMember);
}

std::unique_ptr<QDialog> CBrowserOptionsDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle(kOptionsCaption);
  dialog->setAccessibleName(kOptionsCaption);
  auto* layout = new QVBoxLayout(dialog.get());
  auto* hint = new QLabel("The addresses the Internet commands open. The dictionary look-up puts the word in "
                          "place of {word}, or at the end. An empty field takes the default address.",
                          dialog.get());
  hint->setWordWrap(true);
  layout->addWidget(hint);
  auto* form = new QFormLayout;
  for (const CEndpointField& field : kFields) {
    auto* edit = new QLineEdit(m_endpoints.*field.m_pMember, dialog.get());
    edit->setObjectName(field.m_pszKey);
    edit->setAccessibleName(FieldName(field));
    edit->setMinimumWidth(420);
    auto* label = new QLabel(field.m_pszLabel, dialog.get());
    label->setBuddy(edit);
    form->addRow(label, edit);
  }
  layout->addLayout(form);
  AddOkCancel(*dialog, *layout);
  return dialog;
}

void CBrowserOptionsDialog::ReadWidget(QDialog& widget) {
  for (const CEndpointField& field : kFields)
    m_endpoints.*field.m_pMember = widget.findChild<QLineEdit*>(field.m_pszKey)->text();
}

void CBrowserController::EditOptions() {
  CBrowserOptionsDialog dialog;
  dialog.m_endpoints = m_app.m_options.m_web;
  for (;;) {
    if (!m_app.Prompt().Exec(dialog)) return;
    // A bad address is told and the dialog comes back with everything as typed.
    QString problem;
    for (const CEndpointField& field : kFields) {
      QString& value = dialog.m_endpoints.*field.m_pMember;
      value = value.trimmed();
      if (value.isEmpty()) value = CWebEndpoints().*field.m_pMember;
      const auto checked = CheckWebAddress(value.toStdString());
      if (!checked && problem.isEmpty())
        problem = QStringLiteral("The %1 address is not a web address:\n%2\n\n%3")
                      .arg(FieldName(field).toLower(), value, QString::fromStdString(checked.Error()));
    }
    if (problem.isEmpty()) break;
    m_app.Prompt().Message(problem, kOptionsCaption, QMessageBox::Warning);
  }
  m_app.m_options.m_web = dialog.m_endpoints;
}

// ---- Commands ----

bool CBrowserController::Handles(int id) const {
  switch (id) {
    case ids::kShowBrowser: case ids::kWebConcordancer: case ids::kOnlineTutorial: case ids::kNetDictionary:
    case ids::kHomePage: case ids::kBrowserOptions:
      return true;
    default:
      return false;
  }
}

// Always on: without a web engine the command says the browser is unavailable.
bool CBrowserController::IsEnabled(int) const { return true; }

void CBrowserController::OnCommand(int id) {
  const CWebEndpoints& web = m_app.m_options.m_web;
  switch (id) {
    case ids::kShowBrowser:
      if (Ready()) m_pWindow->ShowWindow();
      break;
    case ids::kWebConcordancer: GoTo(web.m_strConcordancer, true); break;
    case ids::kOnlineTutorial: GoTo(web.m_strTutorial, true); break;
    case ids::kHomePage: GoTo(web.m_strHome, true); break;
    case ids::kNetDictionary: LookUpClipboard(true); break;
    case ids::kBrowserOptions: EditOptions(); break;
    default: break;
  }
}

CBrowserController::~CBrowserController() {
  // A window made before there was a frame has no owner to take it.
  if (m_pWindow && !m_pWindow->parent()) delete m_pWindow;
}

CWebView* CBrowserController::Window() const { return m_pWindow; }

void CBrowserController::CreateWindow(QWidget* frame) {
  if (!m_pWindow) m_pWindow = new CWebView(*this, frame);
}

bool CBrowserController::Ready() {
  if (!m_pWindow) CreateWindow(m_app.MainFrame());
  if (m_pWindow->EnsurePage()) return true;
  m_app.Prompt().Message(QStringLiteral("The browser is not available.\n\n%1").arg(m_pWindow->Unavailable()),
                         QString(), QMessageBox::Warning);
  return false;
}

void CBrowserController::GoTo(const QString& address, bool bFromFrame) {
  if (!Ready()) return;
  if (bFromFrame) {
    m_strAddress = address;
    m_pWindow->ShowWindow();
  }
  m_pWindow->Navigate(QUrl(address));
  if (bFromFrame) m_pWindow->FloatToolBar();
}

void CBrowserController::LookUpClipboard(bool bFromFrame) {
  const auto refuse = [this](LookupRefusal refusal) {
    m_app.Prompt().Message(LookupMessage(refusal), QString(), QMessageBox::Information);
  };
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!clipboard || !data) return refuse(LookupRefusal::kNoClipboard);
  if (!data->hasText()) return refuse(LookupRefusal::kNoText);
  std::u16string text;
  try {
    text = ToU16(data->text());
  } catch (const std::bad_alloc&) {
    return refuse(LookupRefusal::kNoMemory);
  }
  const CLookupAddress address = DictionaryAddress(m_app.m_options.m_web.m_strDictionary.toStdString(), text);
  if (!address.m_bOk) return refuse(address.m_refusal);
  GoTo(QString::fromStdString(address.m_strAddress), bFromFrame);
}

bool CBrowserController::OpenPage(const QUrl& url) {
  if (!m_pWindow) CreateWindow(m_app.MainFrame());
  if (!m_pWindow->EnsurePage()) return false;
  m_pWindow->ShowWindow();
  m_pWindow->Navigate(url);
  return true;
}

}  // namespace tessary
