# Halbrick as a program: its thin entry and, on Windows, the resource script that describes
# its main window and menu (kept in step with the control tables by a test).
add_executable(halbrick ${CMAKE_CURRENT_SOURCE_DIR}/main/halbrick_entry.cpp)
target_link_libraries(halbrick PRIVATE fdr)

if(WIN32)
  enable_language(RC)
  target_sources(halbrick PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/halbrick.rc)
  set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/halbrick.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/window/halbrick_resource.h)
  target_include_directories(halbrick PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  set_target_properties(halbrick PROPERTIES OUTPUT_NAME Halbrick WIN32_EXECUTABLE ON)
  target_link_libraries(halbrick PRIVATE calvento_manifest)
endif()
