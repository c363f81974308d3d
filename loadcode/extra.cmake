# Tamsel as a program: its thin main over the loadcode library. On Windows the executable is
# Tamsel.exe and carries the resource script with its icon (drawn at build time), version
# information and the templates of its window and menu.
add_executable(tamsel ${CMAKE_CURRENT_SOURCE_DIR}/main/tamsel_entry.cpp)
target_link_libraries(tamsel PRIVATE loadcode)

if(WIN32)
  enable_language(RC)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(TAMSEL_ICON ${CMAKE_CURRENT_BINARY_DIR}/tamsel.ico)
  add_custom_command(OUTPUT ${TAMSEL_ICON}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/window/draw_tamsel_icon.py ${TAMSEL_ICON}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/window/draw_tamsel_icon.py
            ${PROJECT_SOURCE_DIR}/cmake/icon_file.py
    COMMENT "Drawing the Tamsel icon")
  set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/tamsel.rc PROPERTIES
    OBJECT_DEPENDS "${TAMSEL_ICON};${CMAKE_CURRENT_SOURCE_DIR}/window/tamsel_resource.h")
  target_sources(tamsel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tamsel.rc)
  target_include_directories(tamsel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
  set_target_properties(tamsel PROPERTIES OUTPUT_NAME Tamsel WIN32_EXECUTABLE ON)
  target_link_libraries(tamsel PRIVATE calvento_manifest)
endif()
