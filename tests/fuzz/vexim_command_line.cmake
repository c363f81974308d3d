calvento_fuzz_target(vexim_command_line LIBS vexim_ui SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scratch_files.cpp)
