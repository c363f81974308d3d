#include "downloader/channel_control.h"

#include <chrono>
#include <thread>

#include "downloader/load_outcome.h"
#include "downloader/loader_ui.h"
#include "modbus/modbus_status.h"

namespace {

constexpr uint16_t kNotHaltedBit = 0x8000;
constexpr int kHaltReadings = 20;
constexpr auto kHaltReadingPause = std::chrono::milliseconds(50);

uint16_t RunRegister() {
    return static_cast<uint16_t>(loadOptions.runRegister - 1);
}

// The channel's status word, as a step of the load.
bool ReadStatusWord(LoadSteps& steps, uint16_t statusRegister, uint16_t& value) {
    return steps.Run([&](ModBus& link) {
        // Status numbers 1..32 are input registers, the rest holding registers from 0.
        if (statusRegister <= 32) {
            return link.ReadInputRegisters(RequestTimeout(), RequestUnit(), 1,
                                           static_cast<uint16_t>(statusRegister - 1), &value);
        }
        return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), 1,
                                         static_cast<uint16_t>(statusRegister - 33), &value);
    });
}

}  // namespace

bool ReadHoldingStep(LoadSteps& steps, uint16_t address, uint16_t& value) {
    return steps.Run([&](ModBus& link) {
        return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), 1, address, &value);
    });
}

bool WriteHoldingStep(LoadSteps& steps, uint16_t address, uint16_t value) {
    return steps.Run([&](ModBus& link) {
        return link.WriteRegister(RequestTimeout(), RequestUnit(), address, value);
    });
}

bool StopChannelProgram(LoadJob& job) {
    const int16_t channel = loadOptions.channel;
    if (!HasProgram(channel) || !loadOptions.autoStart) {
        return true;
    }
    job.changes.programReached = true;
    uint16_t run = 0;
    if (!ReadHoldingStep(job.steps, RunRegister(), run)) {
        return false;
    }
    const uint16_t runByte = run & ChannelByte(channel);
    run &= static_cast<uint16_t>(~ChannelByte(channel));
    SetStatusText("Stopping program on channel %d", channel);
    const bool stopped = WriteHoldingStep(job.steps, RunRegister(), run);
    // The program is stopped once the module has taken the write; one that was sent unanswered
    // may have been taken, and a failed load starts the program again either way.
    if (stopped || job.steps.MayHaveActed()) {
        job.changes.runByteBefore = runByte;
    }
    job.changes.programStopped = stopped && runByte != 0;
    return stopped;
}

namespace {

enum class ChannelHalt { kHalted, kStepFailed, kStillRunning };

// kHalted when bit 15 cleared; kStillRunning when it never did; kStepFailed when a reading failed
// for good or Cancel came between readings.
ChannelHalt WaitForHalt(LoadSteps& steps, uint16_t statusRegister) {
    for (int reading = 0; reading < kHaltReadings; ++reading) {
        if (reading > 0) {
            // A program halts at the end of its scan: readings back to back would call one that
            // needs a scan or two "still running".
            LoadSteps::Pump();
            if (LoadSteps::Stopped()) {
                return ChannelHalt::kStepFailed;
            }
            std::this_thread::sleep_for(kHaltReadingPause);
        }
        uint16_t status = 0;
        if (!ReadStatusWord(steps, statusRegister, status)) {
            return ChannelHalt::kStepFailed;
        }
        if ((status & kNotHaltedBit) == 0) {
            return ChannelHalt::kHalted;
        }
    }
    return ChannelHalt::kStillRunning;
}

ChannelHalt HaltForTransfer(LoadJob& job) {
    const int16_t channel = loadOptions.channel;
    const uint16_t address = static_cast<uint16_t>(kStatusRegisterBase + channel);
    if (!WriteHoldingStep(job.steps, address, job.statusRegister)) {
        return ChannelHalt::kStepFailed;
    }
    return job.ignoreHalt ? ChannelHalt::kHalted : WaitForHalt(job.steps, job.statusRegister);
}

}  // namespace

bool ConfirmHalt(LoadJob& job) {
    const int16_t channel = loadOptions.channel;
    if (!HasProgram(channel)) {
        return true;
    }
    job.changes.programReached = true;
    switch (HaltForTransfer(job)) {
        case ChannelHalt::kHalted:
            return true;
        case ChannelHalt::kStepFailed:
            return false;
        default:
            break;
    }
    const std::string running =
        loadOptions.autoStart
            ? Formatted("Can't halt channel %d: its program is still running.", channel)
            : Formatted(
                  "The program on channel %d is running, and with Auto Start off this "
                  "download does not stop it.",
                  channel);
    if (loadOptions.unattended) {
        NoteLoadFailure(running);
        return false;
    }
    return AskYesNo(running + Formatted("\n\r\n\r%s application space %d under the running "
                                        "program?",
                                        loadOptions.eraseFlash ? "Erase" : "Write", channel),
                    "File loader", QuestionDefault::kNo);
}

bool StoreAutoStartByte(LoadSteps& steps) {
    const int16_t channel = loadOptions.channel;
    if (!HasProgram(channel)) {
        return true;
    }
    uint16_t autoStart = 0;
    if (!ReadHoldingStep(steps, kAutoStartRegister, autoStart)) {
        return false;
    }
    autoStart &= static_cast<uint16_t>(~ChannelByte(channel));
    if (loadOptions.autoStart) {
        autoStart |= ChannelByte(channel);
    }
    return WriteHoldingStep(steps, kAutoStartRegister, autoStart);
}

bool RestartChannelProgram(LoadJob& job) {
    LoadSteps& steps = job.steps;
    const int16_t channel = loadOptions.channel;
    if (!HasProgram(channel)) {
        return true;
    }
    if (LoadSteps::Stopped()) {
        return false;
    }
    uint16_t autoStart = 0;
    if (!ReadHoldingStep(steps, kAutoStartRegister, autoStart)) {
        return false;
    }
    if ((autoStart & ChannelByte(channel)) != 0) {
        uint16_t run = 0;
        if (!ReadHoldingStep(steps, RunRegister(), run)) {
            return false;
        }
        if ((run & ChannelByte(channel)) == 0) {
            run |= ChannelByte(channel);
            SetStatusText("Starting program on channel %d", channel);
            if (!WriteHoldingStep(steps, RunRegister(), run)) {
                return false;
            }
        }
        job.changes.programStopped = false;
        job.changes.runByteBefore = 0;
    } else if (loadOptions.autoStart) {
        SetStatusText("WARNING: Module not equipped for Auto Start.");
        job.changes.autoStartMissing = true;
    }
    return true;
}

bool StartProgramAgain(const ChannelChanges& changes, std::string& error) {
    const int16_t channel = loadOptions.channel;
    const uint16_t channelByte = ChannelByte(channel);
    int32_t attempts = AttemptsAllowed();
    uint16_t run = 0;
    bool started = TryRequest(attempts, [&](ModBus& link) {
                       return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), 1,
                                                        RunRegister(), &run);
                   }) >= 0;
    if (started) {
        run = static_cast<uint16_t>((run & ~channelByte) | (changes.runByteBefore & channelByte));
        SetStatusText("Starting program on channel %d", channel);
        started =
            TryRequest(attempts, [&](ModBus& link) {
                return link.WriteRegister(RequestTimeout(), RequestUnit(), RunRegister(), run);
            }) >= 0;
    }
    if (!started) {
        error = CurrentConnection != nullptr ? CurrentConnection->GetErrorText()
                                             : ModbusStatusText(kModbusNoConnection);
    }
    return started;
}

std::string ChannelName(int16_t channel) {
    switch (channel) {
        case 10:
            return "F1";
        case 11:
            return "F2";
        default:
            return std::to_string(channel);
    }
}
