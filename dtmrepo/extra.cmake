# Brondel as a program. On Windows the executable is Brondel.exe and carries its resource
# script: the icon drawn at build time and the menu the window builds by code.
# GCC 12 reports overlapping copies inside std::string's own insert and assign once they are
# inlined at -O2 (GCC bug 105651); the messages are built from such strings throughout.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(dtmrepo PRIVATE -Wno-restrict)
endif()

add_executable(brondel ${CMAKE_CURRENT_SOURCE_DIR}/main/brondel_entry.cpp)
target_link_libraries(brondel PRIVATE dtmrepo)

if(WIN32)
  enable_language(RC)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(BRONDEL_ICON ${CMAKE_CURRENT_BINARY_DIR}/brondel.ico)
  add_custom_command(OUTPUT ${BRONDEL_ICON}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/window/draw_brondel_icon.py ${BRONDEL_ICON}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/window/draw_brondel_icon.py ${PROJECT_SOURCE_DIR}/cmake/icon_file.py
    COMMENT "Drawing the Brondel icon")
  set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/brondel.rc PROPERTIES
    OBJECT_DEPENDS "${BRONDEL_ICON}")
  target_sources(brondel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/brondel.rc)
  target_include_directories(brondel PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
  set_target_properties(brondel PROPERTIES WIN32_EXECUTABLE ON OUTPUT_NAME Brondel)
  target_link_libraries(brondel PRIVATE calvento_manifest)
endif()
