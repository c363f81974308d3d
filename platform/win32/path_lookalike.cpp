#include "platform/path_lookalike.h"

#include <windows.h>

#include <string>

namespace platform {

// The conversion the program makes (AnsiFromUtf8: CP_ACP), asked not to best-fit and to say
// when it had to use the default character. An exact conversion turns back into the same text,
// so the usual checks of the name hold for the bytes the file call receives; in a double-byte
// code page a trail byte may equal "\" without being one, which a check of the raw bytes would
// take for a separator.
bool ReachesFileCallsUnchanged(std::string_view name) {
    if (name.empty()) {
        return true;
    }
    const int length = static_cast<int>(name.size());
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return false;
    }
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), length, wide.data(),
                        wideLength);
    BOOL usedDefault = FALSE;
    const int ansiLength = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                               wideLength, nullptr, 0, nullptr, &usedDefault);
    if (ansiLength <= 0 || usedDefault) {
        return false;
    }
    std::string ansi(static_cast<size_t>(ansiLength), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, ansi.data(),
                        ansiLength, nullptr, &usedDefault);
    if (usedDefault) {
        return false;
    }
    // Back again: what the file call turns the bytes into must be the name itself.
    const int backLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, nullptr, 0);
    std::wstring back(static_cast<size_t>(backLength > 0 ? backLength : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, back.data(), backLength);
    return back == wide;
}

}  // namespace platform
