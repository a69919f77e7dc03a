#pragma once
// The Internet commands of the main frame and the browser window they drive: the
// dictionary look-up of the clipboard's word, the configured web pages, "Show Browser
// Window" and "Browser Options". Pages of the program's own (the word-list report,
// exported HTML) open in the same window.
#include <QPointer>
#include <QString>
#include <QUrl>

#include "app/web_endpoints.h"
#include "ui/prompt.h"

namespace tessary {

class CTessaryApp;
class CWebView;

// "Browser Options": the five addresses, as typed.
class CBrowserOptionsDialog : public CDialogModel {
 public:
  CWebEndpoints m_endpoints;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

class CBrowserController {
 public:
  explicit CBrowserController(CTessaryApp& app) : m_app(app) {}
  ~CBrowserController();

  bool Handles(int id) const;
  bool IsEnabled(int id) const;
  void OnCommand(int id);

  // The hidden browser window, made with the main frame and owned by it.
  void CreateWindow(QWidget* frame);
  CWebView* Window() const;

  // Shows a page of the program's own; false (and nothing shown) when there is no web
  // engine, so the caller can hand it elsewhere.
  bool OpenPage(const QUrl& url);
  // The browser's current address, as the last web command of the main frame set it.
  const QString& CurrentAddress() const { return m_strAddress; }

  // The look-up of the clipboard's text; from the main frame it also shows the window
  // and floats its tool bar.
  void LookUpClipboard(bool bFromFrame);
  // A configured page; from the main frame as above.
  void GoTo(const QString& address, bool bFromFrame);
  void EditOptions();
  CTessaryApp& App() { return m_app; }

 private:
  // The window with its page area, or a message that the browser is unavailable.
  bool Ready();

  CTessaryApp& m_app;
  QPointer<CWebView> m_pWindow;
  QString m_strAddress;
};

}  // namespace tessary
