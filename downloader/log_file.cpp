#include "downloader/log_file.h"

#include <cstdarg>

std::FILE* LogFile = nullptr;

void LogPrintf(const char* format, ...) {
    if (!LogFile)
        return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(LogFile, format, arguments);
    va_end(arguments);
    std::fflush(LogFile);
}
