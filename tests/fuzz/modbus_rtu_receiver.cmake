calvento_fuzz_target(modbus_rtu_receiver LIBS modbus SOURCES ${MODBUS_FUZZ_SOURCES})
