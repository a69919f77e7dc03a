# Qt sources of the application object and the main frame.
list(APPEND TESSARY_SHELL_SOURCES
  app/prompt.h app/widget_prompt.cpp
  app/tessary_app.h app/tessary_app.cpp
  app/main_frame.h app/main_frame.cpp
  ../resources/resources.qrc
)
