# The libraries' headers are included as "tracktools/<library>/<header>.h",
# here through links in the build tree and once installed from
# include/tracktools/<library>.
include(GNUInstallDirs)
set(TRACKTOOLS_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/include)
function(tracktools_library library)
    file(MAKE_DIRECTORY ${TRACKTOOLS_INCLUDE_ROOT}/tracktools)
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${TRACKTOOLS_INCLUDE_ROOT}/tracktools/${library}
         SYMBOLIC)
    target_include_directories(${library} PUBLIC $<BUILD_INTERFACE:${TRACKTOOLS_INCLUDE_ROOT}>
                                                 $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    set(headers ${ARGN})
    list(TRANSFORM headers PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    set_target_properties(${library} PROPERTIES PUBLIC_HEADER "${headers}")
endfunction()

