#pragma once

// M580 projects as Vornick meets them, made from the texts the Premium conversion (Fennick)
// writes: its IBY_ data types and blocks with the IP placeholders and DATA_EXCH markers, the
// per-module declarations and sections named "..._d<rack>_s<slot>", and the rewritten
// communication calls; plus what the user adds in Control Expert after the migration to M580:
// the PMEDWL module in the rack, its DTM entry and the DTM's device variable.

#include <filesystem>
#include <string>
#include <vector>

namespace m580_test {

struct Module {
    int rack = 0;
    int slot = 3;
    std::string dtmName = "PMEDWL_A";
    std::string dtmId = "1";
    std::string ipAddress = "192.168.10.3";
    std::string identifier;  // empty: "C<rack>_<slot>"
    // The element of the DTM's device variable that carries its id, as the project spells it;
    // empty: <attribute name="DeviceId" value="<dtmId>"></attribute>.
    std::string deviceIdElement;
};

// A second module beside the default one: rack 0, slot 5, DTM PMEDWL_B (id 2, 192.168.10.5).
Module secondModule();

struct ProjectOptions {
    std::vector<Module> modules{Module{}};
    bool dtmEntriesReversed = false;  // the DTM entries listed in the other order
    // The T_IBY_DIO device variables declared with a comment, over several lines.
    bool multiLineDeviceVariables = false;
    // The IBY data types and blocks as the Premium conversion writes them in front of the data
    // block; empty: a short stand-in with the same device types, placeholders and markers.
    std::vector<std::string> templateSet;
};

// The project file's lines, without line ends.
std::vector<std::string> projectLines(const ProjectOptions& options = {});

// What the user adds in Control Expert to a migrated project file, given as lines without line
// ends: each PMEDWL module in the rack (its part line and the address line after it) and its DTM
// entry at the end of the I/O configuration, the device type made for each DTM after it, and
// each DTM's device variable at the end of the first data block. Every other line stays.
void addControlExpertLines(std::vector<std::string>& lines, const std::vector<Module>& modules,
                           bool dtmEntriesReversed = false);

// The M580 project that the migration and Control Expert make of an archive the Premium
// conversion wrote: a copy of it whose unitpro.xef gains the lines of addControlExpertLines;
// every other entry stays as stored. Throws std::runtime_error on failure.
void migrateArchive(const std::filesystem::path& premiumConverted,
                    const std::filesystem::path& m580Archive, const std::vector<Module>& modules);

// Lines joined with CR LF, as Control Expert writes them.
std::string joinLines(const std::vector<std::string>& lines);
// The text's lines, split at CR LF; a last line without one is kept.
std::vector<std::string> splitLines(const std::string& text);

// The lines Fennick writes for the converted modules (the Premium project after its
// conversion, before the migration): types and blocks, declarations, sections and calls.
std::vector<std::string> premiumConvertedLines(const std::vector<Module>& modules,
                                               const std::vector<std::string>& templateSet = {});

// Helpers for tests that change a project: the index of the first line holding `text` (or -1).
int findLine(const std::vector<std::string>& lines, const std::string& text);

struct Entry {
    std::string name;
    std::string data;
    bool stored = false;  // kept without compression
};

// The other entries of a project archive, whose bytes a conversion must keep.
std::vector<Entry> otherEntries();

// Writes a ZIP archive of exactly these entries, in this order.
void writeArchive(const std::filesystem::path& path, const std::vector<Entry>& entries);

// Writes a .ZEF archive: unitpro.xef holding `projectText`, then `others`.
void writeZef(const std::filesystem::path& path, const std::string& projectText,
              const std::vector<Entry>& others = otherEntries());

}  // namespace m580_test
