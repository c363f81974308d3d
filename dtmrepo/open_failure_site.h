#pragma once

// A file that a command could not open, shown to the user as
// "(<site>) Unable to open <path> For INPUT as <n>" (or "For OUTPUT as"). The site tells the
// support desk which open failed; the number is the file's channel in the DAV tools' terms.

#include <string>

namespace dtmrepo {

struct OpenFailure {
    int site = 0;
    std::string path;
    bool output = false;
    int fileNumber = 0;
};

}  // namespace dtmrepo
