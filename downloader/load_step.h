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
// Erasing takes the module far longer than any other request: ten time-outs, held to what the
// transport can wait for rather than wrapping round to a few milliseconds.
inline uint32_t EraseTimeout() {
    const uint64_t tenfold = uint64_t{RequestTimeout()} * 10;
    return tenfold > INT32_MAX ? uint32_t{INT32_MAX} : static_cast<uint32_t>(tenfold);
}
// The attempts a job may make: at least one, so that no setting makes a job fail unsent.
inline int32_t AttemptsAllowed() {
    return linkSettings.retries < 1 ? 1 : linkSettings.retries;
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

// Whether the module may have carried out a request with this result: it took it, or the request
// went out and no refusal came back (a time-out, a reply that could not be read). An exception
// reply, and a failure before anything was sent, leave the module as it was.
bool MayHaveActed(int32_t result);

// The step pattern of a load: one attempt counter for the whole load, each request retried while
// the counter lasts with the message pump run between attempts. A step that uses up the counter
// ends the load with the connection's error text, which the load tells once it has ended, with
// what it left the channel in. Once Cancel (or an earlier failure) has closed the job, a step
// sends nothing more: it ends quietly before its first attempt and between attempts.
class LoadSteps {
  public:
    explicit LoadSteps(int32_t attempts) : attemptsLeft_(attempts < 1 ? 1 : attempts) {}

    // Runs `request` (ModBus& -> request result) until it succeeds or the counter is used up.
    // False when the step failed (the load's failure is then noted) or the job was closed.
    template <class Request>
    bool Run(Request request) {
        mayHaveActed_ = false;
        if (Stopped()) {
            return false;
        }
        while (attemptsLeft_ > 0) {
            const int32_t result = OnLink(request);
            mayHaveActed_ = mayHaveActed_ || ::MayHaveActed(result);
            if (result >= 0) {
                break;
            }
            NoteFailure(result);
            Pump();
            --attemptsLeft_;
            if (Stopped()) {
                return false;
            }
        }
        Pump();
        if (attemptsLeft_ > 0) {
            return true;
        }
        EndWithConnectionError();
        return false;
    }

    // Whether the module may have carried out the request of the last step run: true after a
    // step that succeeded, and after one whose attempts were not all refused or unsent.
    bool MayHaveActed() const { return mayHaveActed_; }

    // The same attempts without the error box: for a read whose failure has a message of its
    // own. False when the counter was used up or the job was closed.
    template <class Request>
    bool RunQuietly(Request request) {
        while (attemptsLeft_ > 0 && !Stopped()) {
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
    // The message pump, for a loader that waits between readings of its own.
    static void Pump();

  private:
    // Notes the connection's error text as the load's failure and closes the job.
    static void EndWithConnectionError();

    int32_t attemptsLeft_;
    bool mayHaveActed_ = false;
};

// A request tried up to `attempts` times at once, without pumping, for the module requests
// outside the load's steps. Returns the last result; `mayHaveActed`, when given, is set when an
// attempt may have been carried out.
template <class Request>
int32_t TryRequest(int32_t& attempts, Request request, bool* mayHaveActed = nullptr) {
    int32_t result = ModbusFailure(RequestUnit(), kModbusTimedOut);
    while (attempts > 0) {
        result = OnLink(request);
        if (mayHaveActed != nullptr && MayHaveActed(result)) {
            *mayHaveActed = true;
        }
        if (result >= 0) {
            return result;
        }
        NoteFailure(result);
        --attempts;
    }
    return result;
}
