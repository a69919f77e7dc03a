#include "app/command_table.h"

#include <algorithm>
#include <array>

#include "app/command_ids.h"

namespace tessary {

namespace {

using namespace ids;

constexpr CCommandInfo kCommands[] = {
    // File
    {kFileNew, "&New", "Ctrl+N", "Create a new document", "New"},
    {kFileOpen, "&Open...", "Ctrl+O", "Open an existing document", "Open"},
    {kFileClose, "&Close", "", "Close the active document", "Close"},
    {kFileSave, "&Save", "Ctrl+S", "Save the active document", "Save"},
    {kFileSaveAs, "Save &As...", "", "Save the active document with a new name", "Save As"},
    {kSaveAsUnicode, "Save As &Unicode", "", "", ""},
    {kDatabaseNew, "Save concordances in a new database", "", "Save concordances in a new database", ""},
    {kDatabaseAppend, "Append to an existing database", "", "Append concordances to an existing database", ""},
    {kDatabaseView, "Open a concordance database", "", "Open a concordance database", ""},
    {kUniqueWordsView, "Unique words view", "", "Open a unique-word list saved in a database", ""},
    {kFilePrint, "&Print...", "Ctrl+P", "Print the active document", "Print"},
    {kFilePrintPreview, "Print Pre&view", "", "Display full pages", "Print Preview"},
    {kFilePrintSetup, "P&rint Setup...", "", "Change the printer and printing options", "Print Setup"},
    {kPageSetup, "Page Setup", "", "", ""},
    {kAppExit, "E&xit", "", "Quit the application; prompts to save documents", "Exit"},
    // Edit
    {kEditUndo, "&Undo", "Ctrl+Z;Alt+Backspace", "Undo the last action", "Undo"},
    {kEditCut, "Cu&t", "Ctrl+X;Shift+Del", "Cut the selection and put it on the Clipboard", "Cut"},
    {kEditCopy, "&Copy", "Ctrl+C;Ctrl+Ins", "Copy the selection and put it on the Clipboard", "Copy"},
    {kEditPaste, "&Paste", "Ctrl+V;Shift+Ins", "Insert Clipboard contents", "Paste"},
    {kEditPasteSpecial, "Paste &Special...", "", "Insert Clipboard contents with options", "Paste Special"},
    {kEditSelectAll, "Select A&ll", "Ctrl+A", "Select the entire document", "Select All"},
    {kEditFind, "&Find...", "Ctrl+F", "Find the specified text", "Find"},
    {kEditRepeat, "F&ind Next", "F3", "Repeat the last action", "Repeat"},
    {kEditReplace, "R&eplace", "Ctrl+H", "Replace specific text with different text", "Replace"},
    {kInsertObject, "Insert &New Object...", "", "Insert new embedded object", "New Object"},
    {kEditLinks, "Lin&ks...", "", "Edit linked objects", "Edit Links"},
    {kObjectProperties, "Object P&roperties", "Alt+Return", "", ""},
    {kObjectVerbFirst, "&Object", "", "Activate embedded or linked object", ""},
    // View
    {kViewToolbar, "&Toolbar", "", "Show or hide the toolbar", "Toggle ToolBar"},
    {kViewStatusBar, "&Status Bar", "", "Show or hide the status bar", "Toggle StatusBar"},
    {kViewFormatBar, "&Format Bar", "", "Shows or hides the format bar", "Toggle Format Bar"},
    {kShowBigFileViewer, "Show Big Files Viewer", "", "Show the big file viewer", ""},
    {kHideBigFileViewer, "Hide Big Files Viewer", "", "Hides the big file viewer window", ""},
    {kShowBrowser, "Show Browser Window", "", "Shows the browser window", ""},
    // Window
    {kWindowNew, "&New Window", "", "Open another window for the active document", "New Window"},
    {kWindowCascade, "&Cascade", "", "Arrange windows so they overlap", "Cascade Windows"},
    {kWindowTile, "&Tile", "", "Arrange windows as non-overlapping tiles", "Tile Windows"},
    {kWindowArrange, "&Arrange Icons", "", "Arrange icons at the bottom of the window", "Arrange Icons"},
    // Concordance
    {kConcordanceSearch, "Concordance search (F5) ", "F5", "Search for concordances (F5)", "Concordancer"},
    {kPlexonSearch, "Plexon search", "", "Plexon searches (node + associated words", "Plexon Search"},
    {kAssociatedWords, "Associated words", "", "Searches for associated word concordances", ""},
    {kSetLineWidth, "Set line width", "", "Sets the concordance string line width", ""},
    {kSentenceConcordances, "Sentence concordances", "", "Lists the concordances in full sentences", ""},
    {kSortRight, "Sort Right", "", "Sort concordances by right collocates", ""},
    {kSortLeft, "Sort Left", "", "Sort concordances by left collocates", ""},
    // Format
    {kConcordanceString, "Concordance String", "", "", ""},
    {kAutomaticFormat, "Automatic format", "", "Automatically formats concordance key word", ""},
    {kManualFormat, "Manual format", "", "Switch off auto-format", ""},
    {kInsertBullet, "Insert Bullet", "", "", ""},
    {kFormatFont, "&Font...", "", "Selects font for current selection", "Font"},
    {kFileReference, "File Reference", "", "Print file name at the start of concordance lines", ""},
    {kAddLineNumbering, "Add Line Numbering", "", "Insert line numbers", ""},
    {kSaveAsHtml, "Save as HTML", "", "Save concordances as an HTML document", ""},
    {kWrapNone, "None", "", "No word wrap", ""},
    {kWrapToWindow, "Wrap to window", "", "Wraps the text. Only use this feature for viewing. ", ""},
    // Test
    {kTestNew, "New", "", "Creates a new test with key word deleted", ""},
    {kTestAnswer, "Answer", "", "Type in the missing word", "Answer"},
    // Statistics
    {kCollocates, "Collocates", "", "Lists the collocates with number of occurrences", ""},
    {kProfileOpenFiles, "Profile (Open files)", "", "", ""},
    {kProfileDirectory, "Directory", "", "Word frequency count from directory files", ""},
    {kUniqueOpenFiles, "Open Files", "", "Lists unique words and instances", ""},
    {kUniqueDirectory, "Directory", "", "Lists unique words and instances (directory files)", ""},
    {kMatchWordLists, "Match text with word lists", "", "Compares the words in a text with frequency lists", ""},
    {kWordListId, "Word lists", "", "Compares the words in a text with frequency lists", "Match text with word lists"},
    // Analysis
    {kCollocationStrength, "Collocation Strength...", "",
     "Measures how strongly words go with a search: MI, MI3, T-score, log-likelihood, logDice, Dice, z-score", ""},
    {kClustersNgrams, "Clusters and N-grams...", "", "Lists clusters around a search, or every n-gram, with frequency and range", ""},
    {kKeywordList, "Keywords...", "", "Compares the words of texts with a reference corpus by log-likelihood and log ratio", ""},
    {kDispersionPlot, "Dispersion Plot...", "", "Shows where a search occurs in each text, with Juilland's D", ""},
    {kSaveListTsv, "Save as TSV...", "", "Save the concordance list as a table of tab-separated values", ""},
    {kSaveListCsv, "Save as CSV...", "", "Save the concordance list as a table of comma-separated values", ""},
    // Left Margins
    {kSetMargin, "Set Margin", "", "Set the margin width to ignore in corpus files", ""},
    // Internet
    {kWebConcordancer, "Web Concordancer", "", "Open the Quorin Web Concordancer", "Web Concordancer"},
    {kOnlineTutorial, "Online Web Tutorial", "", "Quorin Help Tutorial", "Quorin Help Tutorial"},
    {kNetDictionary, "Net Dictionary Lookup", "", "Look up a word in the Net dictionary", "Net Dictionary Lookup"},
    {kHomePage, "Quorin Home Page", "", "Open the Quorin Website Home Page", "Open the Quorin Home Page"},
    {kBrowserOptions, "Browser &Options...", "", "Set the addresses the Internet commands open", "Browser Options"},
    // Help
    {kAppAbout, "&About Tessary...", "", "Display program information, version number and copyright", "About"},
    {kHelp, "Help", "", "Open Tessary Help file", "Open Help File"},
    // Convert
    {kUnicodeToAnsi, "Unicode to Ansi", "", "", ""},
    {kAnsiToUnicode, "Ansi to Unicode", "", "", ""},
    {kChooseCodePage, "Code Page...", "", "Choose the code page that byte texts are read, searched and saved in",
     "Code Page"},
    {kReopenWithCodePage, "Reopen with Code Page...", "", "Read the active file again in another code page",
     "Reopen with Code Page"},
    // Commands without an item in the main menu: shortcuts and the big file viewer's
    // commands.
    {kBigFileSearch, "Concordance search (Ctrl + F5)", "Ctrl+F5", "Concordance search in a big file (Ctrl + F5)", ""},
    {kNextPane, "Next Pane", "F6", "Switch to the next window pane", "Next Pane"},
    {kPrevPane, "Previous Pane", "Shift+F6", "Switch back to the previous window pane", "Previous Pane"},
    {kEnglish, "English", "", "Set texts for English", ""},
    {kBig5, "Big5", "", "Set texts for Chinese using Big5 character set", ""},
    {kGb, "GB", "", "Set texts for Chinese using GB character set", ""},
    {kJapanese, "Japanese", "", "Sets the texts for Japanese", ""},
};

constexpr const char* kFile = "&File";
constexpr const char* kDatabase = "&File|&Database";
constexpr const char* kEdit = "&Edit";
constexpr const char* kView = "&View";
constexpr const char* kWindow = "&Window";
constexpr const char* kConcordance = "&Concordance";
constexpr const char* kFormat = "F&ormat";
constexpr const char* kKeyWord = "F&ormat|&Key Word";
constexpr const char* kWrap = "F&ormat|&Wrap to window";
constexpr const char* kTest = "&Test";
constexpr const char* kStatistics = "&Statistics";
constexpr const char* kProfile = "&Statistics|Word &Profile";
constexpr const char* kUnique = "&Statistics|&Unique Words";
constexpr const char* kAnalysis = "&Analysis";
constexpr const char* kMargins = "&Left Margins";
constexpr const char* kInternet = "&Internet";
constexpr const char* kHelpMenu = "&Help";
constexpr const char* kConvert = "Con&vert";

constexpr CMenuEntry kFullMenu[] = {
    {kFile, kFileNew}, {kFile, kFileOpen}, {kFile, kFileClose}, {kFile, kFileSave}, {kFile, kFileSaveAs},
    {kFile, kSaveAsUnicode}, {kFile, kReopenWithCodePage}, {kDatabase, kDatabaseNew}, {kDatabase, kDatabaseAppend},
    {kDatabase, kDatabaseView}, {kDatabase, kUniqueWordsView}, {kFile, 0}, {kFile, kFilePrint}, {kFile, kFilePrintPreview},
    {kFile, kFilePrintSetup}, {kFile, kPageSetup}, {kFile, 0}, {kFile, kFileMru1}, {kFile, 0},
    {kFile, kAppExit},
    {kEdit, kEditUndo}, {kEdit, 0}, {kEdit, kEditCut}, {kEdit, kEditCopy}, {kEdit, kEditPaste},
    {kEdit, kEditPasteSpecial}, {kEdit, 0}, {kEdit, kEditSelectAll}, {kEdit, kEditFind}, {kEdit, kEditRepeat},
    {kEdit, kEditReplace}, {kEdit, 0}, {kEdit, kInsertObject}, {kEdit, kEditLinks},
    {kEdit, kObjectProperties}, {kEdit, kObjectVerbFirst},
    {kView, kViewToolbar}, {kView, kViewStatusBar}, {kView, kViewFormatBar}, {kView, 0},
    {kView, kShowBigFileViewer}, {kView, kHideBigFileViewer}, {kView, kShowBrowser},
    {kWindow, kWindowNew}, {kWindow, kWindowCascade}, {kWindow, kWindowTile}, {kWindow, kWindowArrange},
    {kConcordance, kConcordanceSearch}, {kConcordance, kPlexonSearch}, {kConcordance, kAssociatedWords},
    {kConcordance, kSetLineWidth}, {kConcordance, kSentenceConcordances}, {kConcordance, 0},
    {kConcordance, kSortRight}, {kConcordance, kSortLeft},
    {kFormat, kConcordanceString}, {kKeyWord, kAutomaticFormat}, {kKeyWord, kManualFormat},
    {kFormat, kInsertBullet}, {kFormat, kFormatFont}, {kFormat, kFileReference}, {kFormat, kAddLineNumbering},
    {kFormat, kSaveAsHtml}, {kFormat, kSaveListTsv}, {kFormat, kSaveListCsv}, {kWrap, kWrapNone}, {kWrap, kWrapToWindow},
    {kTest, kTestNew}, {kTest, kTestAnswer},
    {kStatistics, kCollocates}, {kProfile, kProfileOpenFiles}, {kProfile, kProfileDirectory},
    {kUnique, kUniqueOpenFiles}, {kUnique, kUniqueDirectory}, {kStatistics, kMatchWordLists},
    {kAnalysis, kCollocationStrength}, {kAnalysis, kClustersNgrams}, {kAnalysis, kKeywordList},
    {kAnalysis, kDispersionPlot},
    {kMargins, kSetMargin},
    {kInternet, kWebConcordancer}, {kInternet, kOnlineTutorial}, {kInternet, kNetDictionary},
    {kInternet, kHomePage}, {kInternet, 0}, {kInternet, kBrowserOptions},
    {kHelpMenu, kAppAbout}, {kHelpMenu, kHelp},
    {kConvert, kUnicodeToAnsi}, {kConvert, kAnsiToUnicode}, {kConvert, 0}, {kConvert, kChooseCodePage},
};

constexpr CMenuEntry kShortMenu[] = {
    {kFile, kFileNew}, {kFile, kFileOpen}, {kFile, kFilePrintSetup}, {kFile, 0}, {kFile, kFileMru1},
    {kFile, 0}, {kFile, kAppExit},
    {kView, kViewToolbar}, {kView, kViewStatusBar},
    {kHelpMenu, kAppAbout},
};

constexpr int kToolBar[] = {
    kFileNew, kFileOpen, kFileSave, 0, kEditCut, kEditCopy, kEditPaste, 0, kEditFind, kFilePrint,
    kFilePrintPreview, 0, kConcordanceSearch, 0, kPlexonSearch, 0, kTestAnswer, 0, kNetDictionary, 0, kHelp,
};

}  // namespace

std::span<const CCommandInfo> CommandTable() { return kCommands; }

const CCommandInfo* FindCommand(int id) {
  const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                               [id](const CCommandInfo& c) { return c.m_nId == id; });
  return it == std::end(kCommands) ? nullptr : &*it;
}

std::span<const CMenuEntry> FullMenu() { return kFullMenu; }
std::span<const CMenuEntry> ShortMenu() { return kShortMenu; }
std::span<const int> StandardToolBar() { return kToolBar; }

}  // namespace tessary
