# The Modbus targets share a harness (a master without a wire) and the tests' frame builders.
# modbus_fuzz_seeds writes their seed corpus: `modbus_fuzz_seeds tests/fuzz/corpus`.
set(MODBUS_FUZZ_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/modbus_fuzz_master.cpp
    ${PROJECT_SOURCE_DIR}/tests/modbus_transport/connection_helpers.cpp)
add_executable(modbus_fuzz_seeds modbus_fuzz_seeds.cpp ${MODBUS_FUZZ_SOURCES})
target_link_libraries(modbus_fuzz_seeds PRIVATE modbus)
