# shell.cmake - the application shell and navigator form, and the tavrin program.
target_sources(tavrin_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AboutDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChapterListBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CmdTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogUnits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HoldGesture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Icons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Palette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PopupEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellTitle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TavrinApp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TavrinView.cpp
  ${PROJECT_SOURCE_DIR}/resources/AboutDlg.ui
  ${PROJECT_SOURCE_DIR}/resources/TavrinView.ui)
add_executable(tavrin ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(tavrin PRIVATE tavrin_ui tavrin::options)
# libtessdb.so is found next to the program's build tree and, installed, in lib/.
set_target_properties(tavrin PROPERTIES
  BUILD_RPATH "$ORIGIN/../store"
  INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

install(TARGETS tavrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/tavrin.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tavrin.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
