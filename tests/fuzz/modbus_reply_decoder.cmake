calvento_fuzz_target(modbus_reply_decoder LIBS modbus SOURCES ${MODBUS_FUZZ_SOURCES})
