# Display settings: defaults, file form and file I/O (Qt Core only).
target_sources(tavrin_settings PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DisplaySettings.cpp)
