# Qt sources of the concordance commands.
list(APPEND TESSARY_SHELL_SOURCES
  app/concordance_controller.h app/concordance_controller.cpp
)
