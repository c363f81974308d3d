#pragma once

// Fennick's main routine. With a command line it converts that archive without a window and
// without reading a setting (exit code 0 when the new archive is in place, 1 otherwise);
// without one it opens the main window.

#include <string>

namespace fennick {

int fennickMain(int argc, char** argv);

// The archive path of a batch run: the command line as one text, without the pair of double
// quotes a path with blanks comes in, nor blanks around it.
std::string batchArchivePath(std::string commandLine);

}  // namespace fennick
