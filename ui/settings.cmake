# Display settings: defaults, file form and file I/O (Qt Core only; the code
# page of a face stored as 8-bit text comes from the scripture library).
target_sources(tavrin_settings PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DisplaySettings.cpp)
target_link_libraries(tavrin_settings PRIVATE scripture)
