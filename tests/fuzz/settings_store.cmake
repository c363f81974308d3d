calvento_fuzz_target(settings_store LIBS downloader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scratch_files.cpp)
