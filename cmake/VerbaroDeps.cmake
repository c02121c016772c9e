# Imported targets for the system libraries the platform layer builds on.
pkg_check_modules(SQLCIPHER REQUIRED IMPORTED_TARGET sqlcipher)
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(XRANDR REQUIRED IMPORTED_TARGET xrandr x11)
# Debian's sphinxbase.pc names an include folder that does not exist, which an
# imported target refuses; keep only the folders that are there.
pkg_check_modules(POCKETSPHINX REQUIRED pocketsphinx sphinxbase)
set(_ps_includes "")
foreach(d ${POCKETSPHINX_INCLUDE_DIRS})
  if(EXISTS ${d})
    list(APPEND _ps_includes ${d})
  endif()
endforeach()
add_library(verbaro_pocketsphinx INTERFACE)
target_include_directories(verbaro_pocketsphinx SYSTEM INTERFACE ${_ps_includes})
target_link_libraries(verbaro_pocketsphinx INTERFACE ${POCKETSPHINX_LINK_LIBRARIES})
target_compile_definitions(verbaro_pocketsphinx INTERFACE
    POCKETSPHINX_MODEL_DIR="/usr/share/pocketsphinx/model/en-us")
find_package(JPEG REQUIRED)
find_package(ZLIB REQUIRED)
find_path(CHM_INCLUDE_DIR chm_lib.h REQUIRED)
find_library(CHM_LIBRARY chm REQUIRED)
add_library(chm::chm UNKNOWN IMPORTED)
set_target_properties(chm::chm PROPERTIES IMPORTED_LOCATION ${CHM_LIBRARY}
                                          INTERFACE_INCLUDE_DIRECTORIES ${CHM_INCLUDE_DIR})
