# Fennick as a program: its thin main and, on Windows, the resource script with its menu.
add_executable(fennick ${CMAKE_CURRENT_SOURCE_DIR}/main/fennick_entry.cpp)
target_link_libraries(fennick PRIVATE fennick_shell)
if(WIN32)
  enable_language(RC)
  set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/main/fennick.rc PROPERTIES
    OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/toolshell/fennick/fennick_resource.h)
  target_sources(fennick PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/main/fennick.rc)
  target_include_directories(fennick PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(fennick PROPERTIES WIN32_EXECUTABLE ON OUTPUT_NAME Fennick)
  target_link_libraries(fennick PRIVATE calvento_manifest)
endif()
