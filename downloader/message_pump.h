#pragma once

#include <cstdint>

// Dispatches every pending window message without waiting, so that Cancel and the removal of
// the serial device are seen while the GUI thread runs a module job. The removal of the open
// port's own device ends the job, cancelled or not: it closes the connection (which sets
// ConnectionClosed) and asks the main dialog to end the program (UM_PORT_REMOVED). Removals of
// other devices pass.
// Returns 0.
int32_t PumpMessages();
