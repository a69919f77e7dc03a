# Tests of the concordance commands in the program.
list(APPEND TESSARY_APP_TEST_SOURCES
  app/concordance_fixture.h app/concordance_fixture.cpp
  app/concordance_test.cpp
  app/plumbing_test.cpp
  app/list_commands_test.cpp
  app/context_test.cpp
  app/big_file_run_test.cpp
  app/big_file_view_test.cpp
  app/associated_test.cpp
  app/stats_test.cpp
  app/export_test.cpp
  app/encoding_test.cpp
  app/unique_words_db_test.cpp
  app/window_faults_test.cpp
  app/gap_fill_window_test.cpp
  app/browser_test.cpp
  app/analysis_window_test.cpp
  app/lines_view_test.cpp
)
