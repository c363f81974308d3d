calvento_fuzz_target(vexim_object LIBS downloader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scratch_files.cpp)
