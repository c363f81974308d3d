calvento_fuzz_target(vexim_profile LIBS downloader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scratch_files.cpp)
