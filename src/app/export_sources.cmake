# Qt sources of the export commands: HTML, the word-list report, the concordance database.
list(APPEND TESSARY_APP_SOURCES
  export_controller.h export_controller.cpp
  export_dialogs.h export_dialogs.cpp
  database_view.h database_view.cpp
  unique_words_db_view.h unique_words_db_view.cpp
)
