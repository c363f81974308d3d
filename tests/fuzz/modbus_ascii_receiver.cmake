calvento_fuzz_target(modbus_ascii_receiver LIBS modbus SOURCES ${MODBUS_FUZZ_SOURCES})
