# verbaro_compile_chm(<output.chm> PROJECT <dir>/<name>.hhp)
# Compiles a help project with chmcmd. chmcmd writes next to the project, so
# the project folder is copied into the build tree and compiled there; the
# source folder stays clean. Only the files the project lists go in.
find_program(CHMCMD_EXECUTABLE chmcmd REQUIRED)

function(verbaro_compile_chm output)
  cmake_parse_arguments(C "" "PROJECT" "" ${ARGN})
  get_filename_component(src ${C_PROJECT} DIRECTORY)
  get_filename_component(name ${C_PROJECT} NAME_WE)
  get_filename_component(out_name ${output} NAME)
  get_filename_component(out_dir ${output} DIRECTORY)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/chm-${name})
  file(GLOB_RECURSE inputs CONFIGURE_DEPENDS ${src}/*)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${src} ${work}
    COMMAND ${CMAKE_COMMAND} -E chdir ${work} ${CHMCMD_EXECUTABLE} --no-html-scan ${name}.hhp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${work}/${name}.chm ${output}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DEPENDS ${inputs}
    COMMENT "Compiling help ${out_name}"
    VERBATIM)
endfunction()
