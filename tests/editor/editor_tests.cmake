# Tests of this subsystem.
list(APPEND TESSARY_APP_TEST_SOURCES
  editor/editor_fixture.h
  editor/document_test.cpp
  editor/view_test.cpp
)
