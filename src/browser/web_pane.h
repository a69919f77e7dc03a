#pragma once
// The page area of the browser window, as the program sees it. The web engine that
// fills it is a module loaded at run time (web_engine_loader.h), so the program starts
// and works without it.
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace tessary {

class IWebPane {
 public:
  virtual ~IWebPane() = default;
  // The widget that shows the page; owned by the parent it was made for.
  virtual QWidget* Widget() = 0;
  virtual void Navigate(const QUrl& url) = 0;
  virtual bool CanGoBack() const = 0;
  virtual bool CanGoForward() const = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  // The address shown now (the one asked for while it loads).
  virtual QUrl Url() const = 0;

  // A page has finished loading (false: it failed; the engine shows its own page).
  std::function<void(bool bOk)> m_fnLoadFinished;
};

}  // namespace tessary
