calvento_fuzz_target(modbus_tcp_receiver LIBS modbus SOURCES ${MODBUS_FUZZ_SOURCES})
