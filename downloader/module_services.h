#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "downloader/flash_image.h"

// Short jobs on a KRT module besides downloads. IdentifyModule and IsWriteProtected work on the
// open connection; the others open their own and close it again before they return.

// Reads the identity word (upper twelve bits 0x999) and the 20-character module name; one attempt
// each. Nothing when either read fails or the module is not of the family.
std::optional<std::string> IdentifyModule();

// The module name last identified (20 characters at most).
extern std::string moduleName;

// Position of the first occurrence of `pattern` in `text` (case-sensitive), or nothing.
std::optional<size_t> FindText(const std::string& text, const std::string& pattern);

// 1 when the channel's application space is write-protected, 0 when not (F1 and F2 have no
// protection bit), -1 when register 35 could not be read in `retries` attempts.
int32_t IsWriteProtected(int16_t channel);

// kNotOpened: the connection could not be opened, and its opener has already told the user why.
enum class ModuleJob { kNotOpened, kFailed, kNotKrt, kDone };

// Opens a connection, identifies the module and, for a KRT module, reads the communication
// configuration block into commConfig.
ModuleJob ConnectModule();
// The same, writing commConfig back. A failed write shows the connection's error text (caption
// "Connection Error") and still ends kDone; an unidentified module is kNotKrt. `written` tells
// whether the module took the block.
ModuleJob WriteCommConfig(bool& written);

// Reads both flash files of a KRT module into `image`. True only when every read returned all of
// its 64 words.
bool BackupFlash(FlashImage& image);
enum class FlashRestore { kWritten, kNotWritten, kPartlyWritten, kMaybePartlyWritten };

// Writes both flash files from `image`, after clearing record 0 of each. A restore that fails
// rolls nothing back: kPartlyWritten when the module had taken a write; kMaybePartlyWritten when
// it had taken none but a write went unanswered (it may have been carried out); kNotWritten when
// the module was not reached or not identified, or refused every write it was sent.
FlashRestore RestoreFlash(const FlashImage& image);
