#pragma once
// Context look-up: the right mouse button on a list line opens the line's source with
// its keyword selected and in view. The selection waits for the source's window to
// get the focus, and is made only while the source still holds the keyword there.
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <string>

#include "engine/concordance_list.h"

namespace tessary {

class CTessaryApp;
class CTessaryDoc;
class CTessaryView;

class CContextLookup : public QObject {
  Q_OBJECT
 public:
  explicit CContextLookup(CTessaryApp& app);

  // The right button on view: the caret's line, if it is a list line with a source.
  void Request(CTessaryView* view);
  // A view got the focus: a pending selection of its document is made now.
  void OnViewFocus(CTessaryView* view);
  // A record of a concordance database: its file, the keyword's position there and the
  // keyword (UTF-8). The record does not say how it was searched, so a byte search of
  // the file is tried first, then a 16-bit one.
  void RequestRecord(const std::string& path, std::int64_t position, const std::string& keyword);
  // A hit of an analysis (a dispersion plot's tick): the search that found it, its
  // source (a file, or the open document doc, named by its title) and the keyword's
  // offset there.
  void RequestHit(const CSearchRequest& request, const std::string& source, std::int64_t position,
                  CTessaryDoc* doc = nullptr);
  bool Pending() const { return m_pending.has_value(); }

 private:
  struct CPendingContext {
    QPointer<CTessaryDoc> m_pDoc;
    CConcordanceList m_list;  // the list's search, without its lines' entries
    CListEntry m_entry;
    std::string m_strPath;
    std::optional<CConcordanceList> m_alternative;  // tried when m_list does not find it
  };
  void Open(CPendingContext pending);
  // A big-file line: the viewer shows its file at the entry, the keyword's line on top.
  void ShowBigFileContext(const CConcordanceList& list, const CListEntry& entry, const std::string& path);
  void Apply(CTessaryView* view);
  void Say(const QString& text);

  CTessaryApp& m_app;
  std::optional<CPendingContext> m_pending;
};

}  // namespace tessary
