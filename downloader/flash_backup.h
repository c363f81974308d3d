#pragma once

#include <string>

#include "platform/ui.h"

// The flash dialog's two jobs, each with its messages (caption "Restore flash", stop icon) over
// `owner`. True when the job succeeded.

// Backs the module's flash up into the image file `name`. Once the flash is read, ".bin" is
// appended to `name` when it holds no ".", so that it names the file written (and a restore
// offers that file). Nothing is written unless the whole flash was read.
bool BackupFlashToFile(platform::ui::Window owner, std::string& name);

// Restores the module's flash from the image file. A file that is not exactly 16384 bytes long is
// refused before any connection is made; a restore that fails after the module took a write says
// the flash is partly rewritten (may be, when a write went unanswered), one refused from its
// first write says no more than that it failed.
bool RestoreFlashFromFile(platform::ui::Window owner, const std::string& path);
