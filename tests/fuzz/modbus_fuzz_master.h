#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The Modbus fuzz targets share one harness: a master with no wire whose requests are answered
// by the fuzzer's bytes, fed through the real receiver of a framing (or straight into the reply
// decoder), all on the calling thread.
//
// Input layout: byte 0 chooses the request kind, byte 1 its count, byte 2 the unit, byte 3 the
// size of the chunks the rest is cut into (0: one chunk); the rest is what the line delivers.
// Each time a request completes the next one goes out, as a load does, up to a few per input.
//
// Oracles (a broken one traps): every request is collected once it completes, or once the
// time-out sweep at the end expires it, and no record is lost (16 requests can be queued
// afterwards); a reply never stores past the result buffer or more values than it holds.

enum class ModbusWire { kDecoderOnly, kRtu, kAscii, kTcp };

void RunModbusFuzzInput(ModbusWire wire, const uint8_t* data, size_t size);

// Seed inputs for the targets, built with the framings' own frame layouts.
std::vector<std::vector<uint8_t>> ModbusFuzzSeeds(ModbusWire wire);
