# chapter.cmake - the chapter reader's sources in the tavrin_ui library.
target_sources(tavrin_ui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/ChapterDlg.h
  ${CMAKE_CURRENT_SOURCE_DIR}/ChapterDlg.cpp
  ${PROJECT_SOURCE_DIR}/resources/ChapterDlg.ui)
