#pragma once

#include <cstdint>
#include <string>

#include "downloader/load_job.h"
#include "downloader/load_step.h"

// The run, auto-start and status registers through which a load stops a channel's program,
// waits for it to halt and starts it again. Only channels 1 and 2 have a program to run.

inline constexpr uint16_t kRunRegisterNumberRegister = 33;
inline constexpr uint16_t kAutoStartRegister = 34;
// Register 40 + channel holds the channel's status register number.
inline constexpr uint16_t kStatusRegisterBase = 40;
// The register numbers a load can use, and the refusals of larger ones (one %d, the number).
inline constexpr uint16_t kHighestStatusRegister = 2080;  // 32 input registers + 2048 holding
inline constexpr uint16_t kHighestRunRegister = 2048;
inline constexpr const char* kStatusRegisterRefusal = "Invalid status register %d. Must be 1..2080";
inline constexpr const char* kRunRegisterRefusal =
    "Invalid run control register %d. Must be 1..2048";

inline bool HasProgram(int16_t channel) {
    return channel == 1 || channel == 2;
}
// The channel's byte in a run or auto-start register: low byte channel 1, high byte channel 2.
inline uint16_t ChannelByte(int16_t channel) {
    return static_cast<uint16_t>(0xFF << (8 * (channel - 1)));
}

// One holding register read or written as a step of the load.
bool ReadHoldingStep(LoadSteps& steps, uint16_t address, uint16_t& value);
bool WriteHoldingStep(LoadSteps& steps, uint16_t address, uint16_t value);

// Clears the channel's run byte (when Auto Start is on). False when a step failed.
bool StopChannelProgram(LoadJob& job);

// Before anything is erased or written on channels 1 and 2: writes the status register number S
// to register 40 + channel, then (unless ignoreHalt) reads the channel's status word, each
// reading a step, until bit 15 clears: at most 20 readings, about 50 ms apart so that a program
// has the time of a scan or two to halt. A program that never confirms its halt is not erased or
// written under: the dialog asks whether to go on anyway (No the default), an unattended run
// ends the load. With Auto Start off the program was never stopped by the load; the check only
// keeps a running program from being erased. True to go on; false when the load ends here.
bool ConfirmHalt(LoadJob& job);

// Sets the channel's auto-start byte when Auto Start is on, else clears it.
bool StoreAutoStartByte(LoadSteps& steps);

// Starts the channel's program again when its auto-start byte reads back set; notes a module
// without auto start (when Auto Start was asked for), whose program stays stopped.
bool RestartChannelProgram(LoadJob& job);

// After a load that erased and wrote nothing has ended: puts the channel's run byte back as the
// load found it, with attempts of its own. False when the module did not take it; `error` then
// says why.
bool StartProgramAgain(const ChannelChanges& changes, std::string& error);

// The channel as the user knows it: "1", "2", "F1" or "F2".
std::string ChannelName(int16_t channel);
