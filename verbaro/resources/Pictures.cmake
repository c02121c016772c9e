# The button pictures: drawn at build time by tools/pictures into the build
# folder, then compiled into the program's resources (":/verbaro/pictures").
set(PICTURES_DIR ${CMAKE_CURRENT_BINARY_DIR}/pictures)
set(PICTURES_QRC ${PICTURES_DIR}/pictures.qrc)
set(PICTURES_CPP ${CMAKE_CURRENT_BINARY_DIR}/pictures_rcc.cpp)
add_custom_command(
  OUTPUT ${PICTURES_QRC}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:make_button_pictures>
          ${PICTURES_DIR}
  DEPENDS make_button_pictures
  COMMENT "Drawing the button pictures"
  VERBATIM)
add_custom_command(
  OUTPUT ${PICTURES_CPP}
  COMMAND Qt6::rcc --name pictures -o ${PICTURES_CPP} ${PICTURES_QRC}
  DEPENDS ${PICTURES_QRC} Qt6::rcc
  COMMENT "Compiling the button pictures into the program's resources"
  VERBATIM)
set_source_files_properties(${PICTURES_CPP} PROPERTIES GENERATED TRUE SKIP_AUTOGEN ON)
target_sources(verbaro_app PRIVATE ${PICTURES_CPP})
