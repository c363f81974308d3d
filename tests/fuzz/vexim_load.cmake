calvento_fuzz_target(vexim_load LIBS downloader krtsim_core vxo_builder
                     SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scratch_files.cpp
                             ${PROJECT_SOURCE_DIR}/tests/modbus/test_transport.cpp)
# Writes the seeds of vexim's targets and the settings store's (make_vexim_seeds.cpp says how).
add_executable(make_vexim_seeds ${CMAKE_CURRENT_SOURCE_DIR}/make_vexim_seeds.cpp)
target_link_libraries(make_vexim_seeds PRIVATE downloader vxo_builder)
