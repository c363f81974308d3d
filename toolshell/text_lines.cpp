#include "toolshell/text_lines.h"

namespace toolshell {

bool readTextLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

void writeTextLine(std::ostream& out, std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.write("\r\n", 2);
}

std::string printZonePadding(std::size_t column) {
    return std::string(printZoneWidth - column % printZoneWidth, ' ');
}

void padToNextPrintZone(std::string& line) {
    line += printZonePadding(line.size());
}

}  // namespace toolshell
