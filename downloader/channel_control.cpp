#include "downloader/channel_control.h"

namespace {

constexpr uint16_t kNotHaltedBit = 0x8000;
constexpr int kHaltReadings = 20;

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

bool StopChannelProgram(LoadSteps& steps) {
    const int16_t channel = loadOptions.channel;
    if (!HasProgram(channel) || !loadOptions.autoStart) {
        return true;
    }
    uint16_t run = 0;
    if (!ReadHoldingStep(steps, RunRegister(), run)) {
        return false;
    }
    run &= static_cast<uint16_t>(~ChannelByte(channel));
    SetStatusText("Stopping program on channel %d", channel);
    return WriteHoldingStep(steps, RunRegister(), run);
}

namespace {

// False when a reading failed or bit 15 never cleared; the connection's error text says why.
bool WaitForHalt(uint16_t statusRegister) {
    for (int reading = 0; reading < kHaltReadings; ++reading) {
        uint16_t status = 0;
        const int32_t result = ReadStatusWord(statusRegister, status);
        if (result < 0) {
            NoteFailure(result);
            return false;
        }
        if ((status & kNotHaltedBit) == 0) {
            return true;
        }
    }
    if (CurrentConnection != nullptr) {
        CurrentConnection->SetErrorText("Program still running");
    }
    return false;
}

}  // namespace

ChannelHalt HaltForTransfer(LoadSteps& steps, uint16_t statusRegister, bool ignoreHalt,
                            std::string& reason) {
    const int16_t channel = loadOptions.channel;
    if (!HasProgram(channel)) {
        return ChannelHalt::kHalted;
    }
    const uint16_t address = static_cast<uint16_t>(kStatusRegisterBase + channel);
    if (!WriteHoldingStep(steps, address, statusRegister)) {
        return ChannelHalt::kStepFailed;
    }
    if (ignoreHalt || WaitForHalt(statusRegister)) {
        return ChannelHalt::kHalted;
    }
    reason = CurrentConnection != nullptr ? CurrentConnection->GetErrorText() : "";
    return ChannelHalt::kStillRunning;
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

bool RestartChannelProgram(LoadSteps& steps) {
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
    } else if (loadOptions.autoStart) {
        SetStatusText("WARNING: Module not equipped for Auto Start.");
    }
    return true;
}
