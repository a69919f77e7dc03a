# Qt sources of the application object and the main frame.
list(APPEND TESSARY_APP_SOURCES
  tessary_app.h tessary_app.cpp
  app_editor_host.h app_editor_host.cpp
  main_frame.h main_frame.cpp
  action_keys.h action_keys.cpp
  command_ids.h command_table.h command_table.cpp
  app_dialogs.h app_dialogs.cpp
  app_icons.h app_icons.cpp
  help_window.h help_window.cpp
  help_search.h help_search.cpp
  intro_window.h intro_window.cpp
  single_instance.h single_instance.cpp
  program_info.h program_info.cpp
  accessible_actions.h accessible_actions.cpp
  ${PROJECT_SOURCE_DIR}/resources/resources.qrc
)
set_source_files_properties(program_info.cpp PROPERTIES COMPILE_DEFINITIONS TESSARY_VERSION="${PROJECT_VERSION}")
