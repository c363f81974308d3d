#pragma once

// Premium project archives made from the lines the conversion keys on: a configuration with
// TSXIBY100 modules (their address, configuration words and service file), data types, DFBs,
// the data block, the MAST task and program sections, zipped with libzip as Control Expert
// exports them.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fennick_test {

struct ModuleSpec {
    int rack = 0;
    int slot = 3;
    std::string topoAddress;  // the equipInfo value; empty: "\1\" + rack + "." + slot
    uint16_t kw0 = 0x0011, kw1 = 242, kw2 = 0x0007;
    std::string svcName = "D:\\Svc\\Line1.svc";         // as stored in the configuration
    std::optional<std::vector<uint16_t>> serviceWords;  // none: a small bus (sampleServiceWords)
};

// A module with the sample configuration at another place.
ModuleSpec moduleAt(int rack, int slot);

struct SectionSpec {
    std::string name;
    std::string language = "ST";     // "ST", "LD" or "FBD": the source element used
    std::vector<std::string> lines;  // the source's lines; the first joins the opening tag
};

struct DfbSpec {
    std::string name;
    std::vector<std::string> privateVariables;  // full lines; none: no section at all
    std::vector<std::string> code;              // structured text
};

struct ProjectSpec {
    std::vector<ModuleSpec> modules{ModuleSpec{}};
    std::vector<std::string> dataTypes;  // full DDTSource lines, before the DFBs
    std::vector<DfbSpec> dfbs;
    std::vector<std::string> declarations;  // lines of the data block
    int dataBlocks = 1;                     // the declarations go into the first
    bool logicConf = true;
    bool mastTask = true;
    std::vector<std::string> mastSections{"Main",
                                          "Rungs"};  // section descriptions of the MAST task
    std::vector<SectionSpec> sections;
};

// The service words of a small bus: one Load_Configuration of two devices and a
// Start_Data_Transfer.
std::vector<uint16_t> sampleServiceWords();

// A project that exercises every part of the conversion: a module at rack 0 slot 3, located
// variables, a DFB and sections with communication calls.
ProjectSpec sampleProject();

// The lines of unitpro.xef for the project.
std::vector<std::string> projectLines(const ProjectSpec& project);
// Lines joined with CR LF after each.
std::string crlfText(const std::vector<std::string>& lines);

// The other entries of a sample archive, besides unitpro.xef: a binary one and a text one.
std::map<std::string, std::string> sampleExtraEntries();

// Writes a ZIP archive with the entries in name order (deflated); false on failure.
bool writeArchive(const std::filesystem::path& path,
                  const std::map<std::string, std::string>& entries);

// A project archive: unitpro.xef from the project plus the sample extra entries.
bool writeProjectArchive(const std::filesystem::path& path, const ProjectSpec& project);

struct ArchiveEntry {
    std::string data;  // uncompressed
    uint32_t crc = 0;
    uint64_t compressedSize = 0;
    int32_t method = 0;
    std::string rawBytes;  // the entry's compressed bytes as stored
};

// Every entry of an archive by name; empty when it cannot be read.
std::map<std::string, ArchiveEntry> readArchive(const std::filesystem::path& path);

}  // namespace fennick_test
