# Installation and the Debian package.
#
# `cmake --install <build> [--prefix DIR]` puts the programs in bin, their
# manual pages in share/man, the four static libraries in lib with their
# public headers in include/tracktools/{io,track,geodesy,formats}, and a CMake
# package configuration in lib/cmake/tracktools, so that another project can
# write
#
#     find_package(tracktools 2.0 REQUIRED)
#     target_link_libraries(app PRIVATE tracktools::track tracktools::geodesy
#                                       tracktools::formats)
#
# and include "tracktools/formats/reader.h", "tracktools/track/point.h",
# "tracktools/geodesy/CEarth.h", ... The formats library needs expat, which
# the package configuration finds for its users.
# `cpack -G DEB` (or `make package` at the top level) packs the same files.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TRACKTOOLS_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tracktools)
set(TRACKTOOLS_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/tracktools)

install(TARGETS ${TRACKTOOLS_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT programs)
# The README and the sample files, for a reader of the installed programs.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT programs)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        COMPONENT programs)

# Manual pages: the programs in section 1, the geodesy library in section 3,
# the file formats in section 5.
foreach(section 1 3 5)
    file(GLOB pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/doc/man${section}/*.${section})
    install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT programs)
endforeach()

# The libraries with their public headers (each library's PUBLIC_HEADER
# list), in include/tracktools/<library>: a user includes
# "tracktools/formats/reader.h" as the programs do. The program helpers of
# tools/common are not installed.
foreach(library io track geodesy formats)
    if(NOT TARGET ${library})
        continue()
    endif()
    # libtrack.a alone would be too plain a name for a system library directory.
    set_target_properties(${library} PROPERTIES OUTPUT_NAME tracktools-${library})
    install(TARGETS ${library} EXPORT tracktoolsTargets
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
            PUBLIC_HEADER DESTINATION ${TRACKTOOLS_INCLUDE_DIR}/${library}
                          COMPONENT development
            INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
    # Libraries built with the sanitizers need their run-time libraries in
    # whatever links them, also after installation.
    if(TRACKTOOLS_SANITIZE)
        target_link_options(${library} INTERFACE
                            $<INSTALL_INTERFACE:-fsanitize=address,undefined>)
    endif()
endforeach()

install(EXPORT tracktoolsTargets NAMESPACE tracktools:: DESTINATION ${TRACKTOOLS_CMAKE_DIR}
        COMPONENT development)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/tracktoolsConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/tracktoolsConfig.cmake
                              INSTALL_DESTINATION ${TRACKTOOLS_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tracktoolsConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
# The find module of GeographicLib goes along: tracktools::geodesy needs it.
install(FILES ${PROJECT_BINARY_DIR}/tracktoolsConfig.cmake
              ${PROJECT_BINARY_DIR}/tracktoolsConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/FindGeographicLib.cmake
        DESTINATION ${TRACKTOOLS_CMAKE_DIR} COMPONENT development)

# The Debian package: one package with everything above, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tracktools)
set(CPACK_PACKAGE_VENDOR tracktools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "command-line tools for GPS track logs in GPL track files")
set(CPACK_PACKAGE_DESCRIPTION
    "Nine programs for GPS tracks: trackconvert converts GPX, NMEA and CSV
tracks into GPL track files (runs of 56-byte records with latitude,
longitude, altitude, heading, speed and time) and GPL files into GPX, KML,
GeoJSON and CSV; trackedit cuts, cleans, simplifies, joins and splits
tracks; trackinfo summarises tracks of any of these formats, checks
their data and writes a report page; logpack builds a track from a text
listing, stepclock re-stamps it at a fixed interval, pacer re-times it for a
constant speed or fills in measured leg speeds, idlescan keeps the stops,
legsheet prints a leg report and trailview draws tracks as a VRML 2.0 scene.
With the three static C++ libraries, their headers and a CMake package
configuration.")
set(CPACK_PACKAGE_CONTACT "tracktools developers <tracktools@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# Whatever links the installed formats library links expat too, and the
# package configuration looks for its headers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libexpat1-dev, libgeographiclib-dev, zlib1g-dev, libzip-dev")
find_program(TRACKTOOLS_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TRACKTOOLS_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libexpat1-dev, libgeographiclib-dev, zlib1g-dev, libzip-dev, libexpat1, libc6, libstdc++6, libgcc-s1, libgeographiclib23")
endif()
include(CPack)
