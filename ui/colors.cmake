# colors.cmake - the colours and fonts dialog's sources in the tavrin_ui library.
target_sources(tavrin_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ColorSelector.h
  ${CMAKE_CURRENT_LIST_DIR}/ColorSelector.cpp
  ${PROJECT_SOURCE_DIR}/resources/ColorSelector.ui)
