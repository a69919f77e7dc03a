# Tests of the application object and the main frame.
list(APPEND TESSARY_APP_TEST_SOURCES
  app/app_fixture.h
  app/app_test.cpp
  app/frame_test.cpp
  app/drop_test.cpp
)
