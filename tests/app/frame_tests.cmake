# Tests of the application object and the main frame.
list(APPEND TESSARY_APP_TEST_SOURCES
  app/app_fixture.h
  app/app_test.cpp
  app/frame_test.cpp
  app/help_test.cpp
  app/first_use_test.cpp
  app/drop_test.cpp
)
