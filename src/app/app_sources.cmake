# Qt sources of the application object and the main frame.
list(APPEND TESSARY_SHELL_SOURCES
  app/prompt.h app/widget_prompt.cpp
  app/tessary_app.h app/tessary_app.cpp
  app/main_frame.h app/main_frame.cpp
  app/command_ids.h app/command_table.h app/command_table.cpp
  app/app_dialogs.h app/app_dialogs.cpp
  app/app_icons.h app/app_icons.cpp
  app/help_window.h app/help_window.cpp
  app/intro_window.h app/intro_window.cpp
  app/single_instance.h app/single_instance.cpp
  ../resources/resources.qrc
)
set_source_files_properties(app/app_dialogs.cpp PROPERTIES COMPILE_DEFINITIONS TESSARY_VERSION="${PROJECT_VERSION}")
