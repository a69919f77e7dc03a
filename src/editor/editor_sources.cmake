# Qt sources of the rich-text editor shell.
list(APPEND TESSARY_SHELL_SOURCES
  editor/tessary_doc.h editor/tessary_doc.cpp
  editor/tessary_view.h editor/tessary_view.cpp
)
