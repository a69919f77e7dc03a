#pragma once
// The big file viewer's own menu and shortcuts. Its keys work while the viewer has the
// focus, so Ctrl+F there finds in the big file, not in a document.
#include <span>

namespace tessary {

struct CViewerMenuItem {
  const char* m_pszMenu;       // "&File", "&Language|&Chinese"
  int m_nId;                   // 0: a separator
  const char* m_pszText;
  const char* m_pszShortcuts;  // portable key texts separated by ';'
  const char* m_pszPrompt;     // status-bar prompt
};

std::span<const CViewerMenuItem> ViewerMenu();

}  // namespace tessary
