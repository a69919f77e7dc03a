# Tests of this subsystem.
list(APPEND TESSARY_EDITOR_TEST_SOURCES
  editor/editor_fixture.h editor/scripted_host.h
  editor/document_test.cpp
  editor/view_test.cpp
  editor/line_ends_test.cpp
  editor/list_lines_test.cpp
)
