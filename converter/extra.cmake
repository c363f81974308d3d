# Vornick as a program. On Windows the executable carries the resource script with its menu and
# version information.
add_executable(vornick ${CMAKE_CURRENT_SOURCE_DIR}/main/vornick_entry.cpp)
target_link_libraries(vornick PRIVATE converter)

if(WIN32)
  enable_language(RC)
  set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/vornick.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/window/vornick_resource.h)
  target_sources(vornick PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/vornick.rc)
  target_include_directories(vornick PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  set_target_properties(vornick PROPERTIES WIN32_EXECUTABLE ON OUTPUT_NAME Vornick)
  target_link_libraries(vornick PRIVATE calvento_manifest)
endif()
