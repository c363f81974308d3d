#include "downloader/channel_control.h"

#include <chrono>
#include <thread>

namespace {

constexpr uint16_t kNotHaltedBit = 0x8000;
constexpr int kHaltReadings = 20;
constexpr auto kHaltReadingPause = std::chrono::milliseconds(50);

uint16_t RunRegister() {
    return static_cast<uint16_t>(loadOptions.runRegister - 1);
}

int32_t ReadStatusWord(uint16_t statusRegister, uint16_t& value) {
    auto read = [&](ModBus& link) {
        // Status numbers 1..32 are input registers, the rest holding registers from 0.
        if (statusRegister <= 32) {
            return link.ReadInputRegisters(RequestTimeout(), RequestUnit(), 1,
                                           static_cast<uint16_t>(statusRegister - 1), &value);
        }
        return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), 1,
                                         static_cast<uint16_t>(statusRegister - 33), &value);
    };
    return OnLink(read);
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
    uint16_t run = 0;
    if (!ReadHoldingStep(job.steps, RunRegister(), run)) {
        return false;
    }
    run &= static_cast<uint16_t>(~ChannelByte(channel));
    SetStatusText("Stopping program on channel %d", channel);
    job.changes.programStopped = true;
    return WriteHoldingStep(job.steps, RunRegister(), run);
}

namespace {

// kHalted when bit 15 cleared; kStillRunning when a reading failed or bit 15 never cleared (the
// connection's error text says why); kStepFailed when Cancel came between readings.
ChannelHalt WaitForHalt(uint16_t statusRegister) {
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
        const int32_t result = ReadStatusWord(statusRegister, status);
        if (result < 0) {
            NoteFailure(result);
            return ChannelHalt::kStillRunning;
        }
        if ((status & kNotHaltedBit) == 0) {
            return ChannelHalt::kHalted;
        }
    }
    if (CurrentConnection != nullptr) {
        CurrentConnection->SetErrorText("Program still running");
    }
    return ChannelHalt::kStillRunning;
}

}  // namespace

ChannelHalt HaltForTransfer(LoadJob& job, std::string& reason) {
    const int16_t channel = loadOptions.channel;
    if (!HasProgram(channel)) {
        return ChannelHalt::kHalted;
    }
    const uint16_t address = static_cast<uint16_t>(kStatusRegisterBase + channel);
    if (!WriteHoldingStep(job.steps, address, job.statusRegister)) {
        return ChannelHalt::kStepFailed;
    }
    if (job.ignoreHalt) {
        return ChannelHalt::kHalted;
    }
    const ChannelHalt halt = WaitForHalt(job.statusRegister);
    if (halt == ChannelHalt::kStillRunning) {
        reason = CurrentConnection != nullptr ? CurrentConnection->GetErrorText() : "";
    }
    return halt;
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
    } else if (loadOptions.autoStart) {
        SetStatusText("WARNING: Module not equipped for Auto Start.");
    }
    return true;
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
