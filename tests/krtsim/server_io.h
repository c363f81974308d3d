#pragma once

// What krtsim's event loops share: the signal pipe, writing a reply as its plan says,
// and the ready line.

#include <string>

#include "slave_server.h"
#include "slave_session.h"

namespace krtsim {

// Writes the reply after its delay or its release, whole or one byte at a time.
void sendReply(int fd, const ReplyPlan& plan);

// Handles a pending signal: false when the loop must stop.
bool takeSignal(const ServerHooks& hooks);

// "krtsim ready <framing> <where>" on standard output, flushed.
void announceReady(const char* framing, const std::string& where);

}  // namespace krtsim
