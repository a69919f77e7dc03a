# Tests of this subsystem.
list(APPEND TESSARY_APP_TEST_SOURCES)
