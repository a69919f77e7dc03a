# Qt sources of the concordance commands.
list(APPEND TESSARY_APP_SOURCES
  concordance_controller.h concordance_controller.cpp
  concordance_dialogs.h concordance_dialogs.cpp
  progress_dialog.h progress_dialog.cpp
  list_window.h list_window.cpp
)
