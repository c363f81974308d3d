#pragma once

#include <cstdint>

#include "modbus/modbus.h"

// Judges one reply against the request it answers and stores the decoded values in
// the request's result buffer (never more than it holds, never into a null buffer).
// Sets request.count and returns the request's final status: 0, an exception code,
// 20 for a reply that is short, mismatched or fails its echo check, or 35 for a
// function code this master cannot decode.
int32_t DecodeReply(ModbusTransaction& request, int32_t length, const uint8_t* frame);
