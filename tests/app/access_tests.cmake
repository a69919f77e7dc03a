# Tests of keyboard use and of the names a screen reader reads.
list(APPEND TESSARY_APP_TEST_SOURCES
  app/all_dialogs.h app/all_dialogs.cpp
  app/access_test.cpp
)
