#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The Program Info list: one row per item, its name and its information.
struct InfoRow {
    std::string header;
    std::string information;
};
using InfoRows = std::vector<InfoRow>;

// Lists a user-code file: its MD5 digest (also left in FileDigest, the digest the Module Info
// query compares with), its header blocks by name, and whether its payload checksum is sound.
// 1 when listed, 0 when the name is empty or the file cannot be opened, -1 when the file is not
// a user-code object (the rows stay empty; FileDigest is then cleared).
int32_t DisplayInformation(InfoRows& rows, const std::string& name);
