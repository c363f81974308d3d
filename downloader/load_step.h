#pragma once

#include <cstdint>

#include "downloader/connection.h"
#include "downloader/settings.h"
#include "modbus/modbus.h"

// Time-out and unit of every module request, from the Link settings.
inline uint32_t RequestTimeout() {
    return static_cast<uint32_t>(linkSettings.timeoutMs);
}
inline uint16_t RequestUnit() {
    return static_cast<uint16_t>(linkSettings.drop);
}

// One request on the open connection; a failure without one.
template <class Request>
int32_t OnLink(Request& request) {
    if (CurrentConnection == nullptr) {
        return ModbusFailure(RequestUnit(), kModbusNoConnection);
    }
    return request(*CurrentConnection);
}

// Gives the connection the error text of a failed request's status, so that the error box shows
// this failure's text rather than one left from an earlier request (send failures and refusals
// before queueing set none of their own).
void NoteFailure(int32_t result);

// The step pattern of a load: one attempt counter for the whole load, each request retried while
// the counter lasts with the message pump run between attempts. A step that uses up the counter
// shows the connection's error text once and ends the load.
class LoadSteps {
  public:
    explicit LoadSteps(int32_t attempts) : attemptsLeft_(attempts) {}

    // Runs `request` (ModBus& -> request result) until it succeeds or the counter is used up.
    // False when the step failed; the error has then been shown.
    template <class Request>
    bool Run(Request request) {
        while (attemptsLeft_ > 0) {
            const int32_t result = OnLink(request);
            if (result >= 0) {
                break;
            }
            NoteFailure(result);
            Pump();
            --attemptsLeft_;
        }
        Pump();
        if (attemptsLeft_ > 0) {
            return true;
        }
        ShowConnectionError();
        return false;
    }

    // The same attempts without the error box: for a read whose failure has a message of its
    // own. False when the counter was used up.
    template <class Request>
    bool RunQuietly(Request request) {
        while (attemptsLeft_ > 0) {
            const int32_t result = OnLink(request);
            if (result >= 0) {
                Pump();
                return true;
            }
            NoteFailure(result);
            Pump();
            --attemptsLeft_;
        }
        return false;
    }

    // The quiet check: true when Cancel or an earlier error has closed the job.
    static bool Stopped() { return ConnectionClosed; }
    int32_t AttemptsLeft() const { return attemptsLeft_; }

  private:
    static void Pump();

    int32_t attemptsLeft_;
};

// A request tried up to `attempts` times at once, without pumping, for the module reads outside
// the load's steps. Returns the last result.
template <class Request>
int32_t TryRequest(int32_t& attempts, Request request) {
    int32_t result = ModbusFailure(RequestUnit(), kModbusTimedOut);
    while (attempts > 0) {
        result = OnLink(request);
        if (result >= 0) {
            return result;
        }
        NoteFailure(result);
        --attempts;
    }
    return result;
}
