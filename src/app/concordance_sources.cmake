# Qt sources of the concordance commands.
list(APPEND TESSARY_APP_SOURCES
  concordance_controller.h concordance_controller.cpp
  concordance_dialogs.h concordance_dialogs.cpp
  progress_dialog.h progress_dialog.cpp
  list_window.h list_window.cpp
  list_palette.h list_palette.cpp
  list_filler.h list_filler.cpp
  list_operation.h list_operation.cpp
  background_task.h background_task.cpp
  search_run.h search_run.cpp
  sort_run.h sort_run.cpp
  text_snapshot.h text_snapshot.cpp
  list_ranges.h list_ranges.cpp
  collocates_view.h collocates_view.cpp
  list_numbering.h list_numbering.cpp
  search_output.h big_file_run.cpp
  context_lookup.h context_lookup.cpp
  big_file_view.h big_file_view.cpp big_file_menu.h big_file_menu.cpp big_file_dialogs.h big_file_dialogs.cpp
  list_menu.h list_menu.cpp
  search_string_edit.h search_string_edit.cpp
  associated_dialogs.h associated_dialogs.cpp
  associated_request.h associated_request.cpp
  stats_controller.h stats_controller.cpp
  stats_dialogs.h stats_dialogs.cpp
  stats_runs.h stats_runs.cpp
  encoding_controller.h encoding_controller.cpp
  encoding_dialogs.h encoding_dialogs.cpp
  test_controller.h test_controller.cpp
  test_dialogs.h test_dialogs.cpp
  analysis_controller.h analysis_controller.cpp
  analysis_dialogs.h analysis_dialogs.cpp
  analysis_windows.h analysis_windows.cpp
)
