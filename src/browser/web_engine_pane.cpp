// The web engine module: the browser window's page area on Qt WebEngine. Only this
// file links the engine; the program loads it with web_engine_loader.
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineView>

#include "browser/web_pane.h"

namespace tessary {

namespace {

class CWebEnginePane : public IWebPane {
 public:
  explicit CWebEnginePane(QWidget* parent) : m_pView(new QWebEngineView(parent)) {
    m_pView->setObjectName("WebPage");
    m_pView->setAccessibleName("Web page");
    QObject::connect(m_pView, &QWebEngineView::loadFinished, m_pView, [this](bool bOk) {
      if (m_fnLoadFinished) m_fnLoadFinished(bOk);
    });
  }
  ~CWebEnginePane() override {
    if (m_pView) QObject::disconnect(m_pView, nullptr, nullptr, nullptr);
  }

  QWidget* Widget() override { return m_pView; }
  void Navigate(const QUrl& url) override {
    if (m_pView) m_pView->load(url);
  }
  bool CanGoBack() const override { return m_pView && m_pView->history()->canGoBack(); }
  bool CanGoForward() const override { return m_pView && m_pView->history()->canGoForward(); }
  void GoBack() override {
    if (m_pView) m_pView->back();
  }
  void GoForward() override {
    if (m_pView) m_pView->forward();
  }
  QUrl Url() const override { return m_pView ? m_pView->url() : QUrl(); }

 private:
  QPointer<QWebEngineView> m_pView;
};

}  // namespace

}  // namespace tessary

extern "C" Q_DECL_EXPORT tessary::IWebPane* TessaryCreateWebPane(QWidget* parent) {
  return new tessary::CWebEnginePane(parent);
}
