#pragma once

// The store file: where it lives, reading it, and rewriting it whole so that a crash leaves
// either the old file or the new one, never a torn mix.

#include <cstdint>
#include <string>

#include "platform/posix/regedit4.h"
#include "platform/registry.h"

namespace platform::store {

// $CALVENTO_REGISTRY, else ~/.config/calvento/registry.reg.
std::string StorePath();

// Holds the store for one read-modify-write: a lock within the process and, through a lock
// file beside the store, against other processes.
class StoreLock {
  public:
    StoreLock();
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

  private:
    int fd_ = -1;
};

// The largest store file read or written. The program's own settings take a few dozen KiB; a
// file many times that size is not a settings store (or is one grown without bound), and
// reading and rewriting it whole on each change would stall every program that shares it.
inline constexpr size_t kLargestStoreBytes = size_t{16} << 20;  // 16 MiB
inline constexpr const char* kStoreTooLargeText = "The settings file is larger than 16 MiB.";

// The error codes of the store's own refusals, kept apart from the errno values.
inline constexpr uint32_t kNotRegedit4Error = 0x20000001;
inline constexpr uint32_t kStoreTooLargeError = 0x20000002;

// A missing file is an empty store. Failed when it cannot be read (errno in `systemError`),
// is not a REGEDIT4 text (kNotRegedit4Error) or is larger than kLargestStoreBytes
// (kStoreTooLargeError, nothing of it read); the file is then left as it is.
RegStatus Load(regedit4::Document& doc, uint32_t& systemError);

// Writes a temporary file beside the store, flushes it to disk and renames it over the store.
// A document whose text would exceed kLargestStoreBytes is refused (kStoreTooLargeError) and
// the store is left as it is, so that no write makes the store unreadable.
RegStatus Save(const regedit4::Document& doc, uint32_t& systemError);

// "HKEY_CURRENT_USER\<path>" or "HKEY_LOCAL_MACHINE\<path>".
std::string FullPath(RegRoot root, const std::string& path);

}  // namespace platform::store
