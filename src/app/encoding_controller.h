#pragma once
// The code-page and Unicode commands: the program's code page (what byte texts are
// read, searched and written in), reopening a file in it, and the conversions and
// saves between byte text and Unicode.
#include <QString>
#include <optional>
#include <string>

#include "engine/expected.h"

namespace tessary {

class CTessaryApp;
class CTessaryDoc;

class CEncodingController {
 public:
  explicit CEncodingController(CTessaryApp& app) : m_app(app) {}

  bool Handles(int id) const;
  bool IsEnabled(int id) const;
  void OnCommand(int id);

  // "Language / Page Code Selection" from the current choice. A name the list does not
  // hold, or a page the program can't read, is told and changes nothing. True when a
  // code page was confirmed (it may be the one already chosen).
  bool ChooseCodePage();

  void ReopenWithCodePage();
  void UnicodeToAnsiCommand();
  void AnsiToUnicodeCommand();
  void SaveAsUnicodeCommand();

 private:
  CTessaryDoc* ActiveDocument() const;
  bool ApplyCodePage(const QString& name, const QString& caption);
  bool ChooseEncoding(int& nEncoding);
  void Warn(const QString& text, const QString& caption);

  CTessaryApp& m_app;
};

// Writes text with its byte-order mark, the way SaveAsUnicode does, without ever
// leaving a half-written file: an existing file is replaced only once the new one is
// whole, and a new file that fails is removed. The reason on failure.
Expected<std::uint64_t> WriteUnicodeFile(const QString& path, std::u16string_view text, int nEncoding);

}  // namespace tessary
