# Finds GeographicLib (Debian: libgeographiclib-dev) and defines the imported
# target GeographicLib::GeographicLib. Debian ships a find module of its own
# outside CMake's search path and no package configuration, so the header and
# the library are looked for directly. Used by the build and, installed next
# to tracktoolsConfig.cmake, by projects that link tracktools::geodesy.
find_path(GeographicLib_INCLUDE_DIR GeographicLib/Geodesic.hpp)
find_library(GeographicLib_LIBRARY NAMES GeographicLib)
mark_as_advanced(GeographicLib_INCLUDE_DIR GeographicLib_LIBRARY)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(GeographicLib
                                  REQUIRED_VARS GeographicLib_LIBRARY GeographicLib_INCLUDE_DIR
                                  REASON_FAILURE_MESSAGE
                                  "on Debian, install the package libgeographiclib-dev")

if(GeographicLib_FOUND AND NOT TARGET GeographicLib::GeographicLib)
    add_library(GeographicLib::GeographicLib UNKNOWN IMPORTED)
    set_target_properties(GeographicLib::GeographicLib PROPERTIES
                          IMPORTED_LOCATION ${GeographicLib_LIBRARY}
                          INTERFACE_INCLUDE_DIRECTORIES ${GeographicLib_INCLUDE_DIR})
endif()
