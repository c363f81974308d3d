#pragma once

#include <cstdio>

// vexim's log file "c:\temp\vexim.log": opened at start-up, closed at exit; null when it could
// not be opened, and then log lines are dropped.
extern std::FILE* LogFile;

// Writes a formatted text to the log while it is open; flushed at once, so the log of a run that
// ends abruptly still holds everything written before.
void LogPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
