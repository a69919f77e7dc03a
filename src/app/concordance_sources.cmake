# Qt sources of the concordance commands.
list(APPEND TESSARY_SHELL_SOURCES
  app/concordance_controller.h app/concordance_controller.cpp
  app/concordance_dialogs.h app/concordance_dialogs.cpp
  app/progress_dialog.h app/progress_dialog.cpp
  app/list_window.h app/list_window.cpp
)
