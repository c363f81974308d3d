# The master-driven tests join once the master's framings are built.
set(krtsim_ROOT ${CMAKE_CURRENT_SOURCE_DIR}/../..)
if(TARGET modbus AND EXISTS ${krtsim_ROOT}/modbus/modbus_tcp.h
   AND EXISTS ${krtsim_ROOT}/modbus/modbus_rtu.h AND EXISTS ${krtsim_ROOT}/modbus/modbus_ascii.h)
  target_sources(krtsim_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/master_sequences.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/master_module_sequences.cpp)
  target_include_directories(krtsim_tests PRIVATE ${krtsim_ROOT})
  target_link_libraries(krtsim_tests PRIVATE modbus)
endif()
