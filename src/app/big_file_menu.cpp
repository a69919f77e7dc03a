#include "app/big_file_menu.h"

#include "app/command_ids.h"

namespace tessary {

namespace {

using namespace ids;

constexpr CViewerMenuItem kMenu[] = {
    {"&File", kBigFileOpen, "&Open...", "Ctrl+O", "Opens a file which is too large for the edit window"},
    {"&File", kBigFileCloseFile, "C&lose file", "", "Closes the file and hides the window"},
    {"&File", kBigFileHideWindow, "Hide window", "", "Hides the window without closing file"},
    {"&Edit", kEditCopy, "&Copy lines", "Ctrl+C;Ctrl+Ins", "Copies the selected lines to the Clipboard"},
    {"&Edit", kBigFileGoTo, "&Go to...", "Ctrl+G", "Goes to a byte offset or a percentage of the file"},
    {"&Concordance", kBigFileSearch, "Concordance search (Ctrl + F5)", "Ctrl+F5",
     "Concordance search in a big file (Ctrl + F5)"},
    {"&Concordance", kBigFileFind, "Find string (Ctrl + F)", "Ctrl+F", "Search for a string (Ctrl + F)"},
    {"&Concordance", kBigFileFindNext, "Find Next (F3)", "F3", "Finds the next string  (F3)"},
    {"&Concordance", kBigFileHighlight, "Highlight search string (F4)", "F4",
     "Highlights every instance of a string  (F4)"},
    {"&Concordance", 0, "", "", ""},
    {"&Concordance", kAssociatedWords, "Associated words", "", "Searches for associated word concordances"},
    {"&Concordance", kSetLineWidth, "Set line width", "", "Sets the concordance string line width"},
    {"&Language", kEnglish, "English", "", "Set texts for English"},
    {"&Language|&Chinese", kBig5, "Big5", "", "Set texts for Chinese using Big5 character set"},
    {"&Language|&Chinese", kGb, "GB", "", "Set texts for Chinese using GB character set"},
    {"&Language", kJapanese, "Japanese", "", "Sets the texts for Japanese"},
    {"&Left Margins", kSetMargin, "Set Margin", "", "Set the margin width to ignore in corpus files"},
    {"&Help", kHelp, "Help", "F1", "Open Tessary Help file"},
    {"&Help", kAppAbout, "&About Tessary...", "", "Display program information, version number and copyright"},
};

}  // namespace

std::span<const CViewerMenuItem> ViewerMenu() { return kMenu; }

}  // namespace tessary
