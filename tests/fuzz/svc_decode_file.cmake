calvento_fuzz_target(svc_decode_file LIBS svc SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scratch_files.cpp)
