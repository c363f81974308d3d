#pragma once

#include <string>

#include "platform/ui.h"

// The progress dialog: connects by the Link settings and runs the download inside it, with a
// Cancel button that the loader notices between its requests. True when the download succeeded
// (false when the connection failed, the load failed or the user cancelled it).
bool RunDownloadDialog(platform::ui::Window owner);

// The last component of a path: the text after its last "\" or ":".
std::string LastPathComponent(const std::string& path);
