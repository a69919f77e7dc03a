# The browser window and the Internet commands; the web engine itself is the module in
# src/browser, loaded when a page is first wanted.
list(APPEND TESSARY_APP_SOURCES
  web_endpoints.h
  web_view.h web_view.cpp
  browser_controller.h browser_controller.cpp
)
