# Qt sources of the rich-text editor shell.
list(APPEND TESSARY_SHELL_SOURCES
  editor/tessary_doc.h editor/tessary_doc.cpp
  editor/tessary_view.h editor/tessary_view.cpp
  editor/rich_text_qt.h editor/rich_text_qt.cpp
  editor/format_bar.h editor/format_bar.cpp
  editor/editor_dialogs.h editor/editor_dialogs.cpp
  editor/printing.h editor/printing.cpp
)
