#include "fdr/window/error_box_text.h"

namespace fdr {

std::string errorBoxText(std::string_view failure, std::string_view address, uint16_t port) {
    std::string text(failure);
    std::string quoted = "\"";
    quoted += address;
    quoted += '"';
    if (failure == "Invalid IP Address") {
        text += "\r\n\r\n" + quoted + " is neither an IPv4 address nor a known host name.";
    } else if (failure == "Fail to Connect") {
        text += "\r\n\r\nNo FTP server answered at " + quoted + ", port " + std::to_string(port) +
                ": the controller is off, unreachable, or its FDR server is not running.";
    } else {
        text += "\r\n\r\nFDR server: " + quoted;
    }
    return text;
}

}  // namespace fdr
