#pragma once
// The command table: every command's menu text, shortcuts, status-bar prompt and
// tool tip, and the order of the main menus. The frame builds its actions and menus
// from it, so a text changes in one place.
#include <span>

namespace tessary {

struct CCommandInfo {
  int m_nId;
  const char* m_pszText;       // menu text with its mnemonic
  const char* m_pszShortcuts;  // portable key texts separated by ';', "" for none
  const char* m_pszPrompt;     // status-bar prompt, "" for none
  const char* m_pszTip;        // tool tip, "" for the menu text
};

// One entry of a menu: a command, or a separator (id 0). m_pszMenu names the menu and
// any submenu as "Format|Key Word".
struct CMenuEntry {
  const char* m_pszMenu;
  int m_nId;
};

std::span<const CCommandInfo> CommandTable();
const CCommandInfo* FindCommand(int id);

// The main menu shown while a document window is open.
std::span<const CMenuEntry> FullMenu();
// The menu shown while no document window is open.
std::span<const CMenuEntry> ShortMenu();
// The standard tool bar's buttons in order, 0 for a gap.
std::span<const int> StandardToolBar();

// The first of the four recent-file commands and their shared prompt.
inline constexpr int kRecentFileCount = 4;
inline constexpr const char* kRecentFilePrompt = "Open this document";

}  // namespace tessary
