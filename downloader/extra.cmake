# vexim as a program: its dialogs (vexim_ui) and its executable. On Windows the executable
# carries the resource script with the dialogs, the menu and the icon drawn at build time.
file(GLOB vexim_ui_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/main/*.cpp)
list(REMOVE_ITEM vexim_ui_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/main/vexim_entry.cpp)
add_library(vexim_ui STATIC ${vexim_ui_SOURCES})
target_link_libraries(vexim_ui PUBLIC downloader)

add_executable(vexim ${CMAKE_CURRENT_SOURCE_DIR}/main/vexim_entry.cpp)
target_link_libraries(vexim PRIVATE vexim_ui)

if(WIN32)
  enable_language(RC)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(VEXIM_ICON ${CMAKE_CURRENT_BINARY_DIR}/vexim.ico)
  add_custom_command(OUTPUT ${VEXIM_ICON}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/draw_vexim_icon.py ${VEXIM_ICON}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/draw_vexim_icon.py ${PROJECT_SOURCE_DIR}/cmake/icon_file.py
    COMMENT "Drawing the vexim icon")
  set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/vexim.rc PROPERTIES
    OBJECT_DEPENDS "${VEXIM_ICON};${CMAKE_CURRENT_SOURCE_DIR}/dialogs/vexim_resource.h")
  target_sources(vexim PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/vexim.rc)
  target_link_libraries(vexim PRIVATE calvento_manifest)
  target_include_directories(vexim PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
  set_target_properties(vexim PROPERTIES WIN32_EXECUTABLE ON)
endif()
