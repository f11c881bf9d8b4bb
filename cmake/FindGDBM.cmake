# FindGDBM.cmake - finds GNU dbm and gives the imported target GDBM::gdbm.
# Debian's libgdbm-dev ships no pkg-config file, so the header and library
# are looked up directly.
find_path(GDBM_INCLUDE_DIR NAMES gdbm.h)
find_library(GDBM_LIBRARY NAMES gdbm)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(GDBM REQUIRED_VARS GDBM_LIBRARY GDBM_INCLUDE_DIR)

if(GDBM_FOUND AND NOT TARGET GDBM::gdbm)
  add_library(GDBM::gdbm UNKNOWN IMPORTED)
  set_target_properties(GDBM::gdbm PROPERTIES
    IMPORTED_LOCATION "${GDBM_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${GDBM_INCLUDE_DIR}")
endif()
mark_as_advanced(GDBM_INCLUDE_DIR GDBM_LIBRARY)
