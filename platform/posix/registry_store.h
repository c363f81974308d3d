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

// A missing file is an empty store. Failed (errno in `systemError`) when it cannot be read or
// is not a REGEDIT4 text; the file is then left as it is.
RegStatus Load(regedit4::Document& doc, uint32_t& systemError);

// Writes a temporary file beside the store, flushes it to disk and renames it over the store.
RegStatus Save(const regedit4::Document& doc, uint32_t& systemError);

// "HKEY_CURRENT_USER\<path>" or "HKEY_LOCAL_MACHINE\<path>".
std::string FullPath(RegRoot root, const std::string& path);

}  // namespace platform::store
