#pragma once

// What the first pass over the project finds: the PMEDWL modules of the rack, the IBY device
// declarations that the Premium conversion left, and the DTM entries of the PMEDWL modules.
// Tables are numbered from 1, as the modules are in every message; index 0 is never used.

#include <array>
#include <string>
#include <string_view>

namespace vornick {

// The IP placeholders and communication calls name a module by its place among at most two.
inline constexpr int maxModules = 2;

template <class T>
using ModuleTable = std::array<T, maxModules + 1>;

// What a DTM table holds until a DTM entry line fills it.
inline constexpr std::string_view notYetSet = "Not yet set";

ModuleTable<std::string> notYetSetTable();

struct Inventory {
    int moduleCount = 0;  // every PMEDWL module line, also those past the tables
    ModuleTable<int> IBSrack{}, IBSslot{};
    ModuleTable<bool> moduleAddressRead{};  // the address line gave a rack and a slot

    int ibyCount = 0;
    ModuleTable<int> IBYrack{}, IBYslot{};
    ModuleTable<std::string> ibySuffix = notYetSetTable();  // "_d" + rack + "_s" + slot
    ModuleTable<bool> ibySuffixRead{};

    // The first instance of the PMEDWL input block under a DTM's name, as the rewrite leaves
    // the IBY declaration: a project without IBY declarations that holds one was converted
    // already.
    std::string ibsDeclarationName;

    int dtmCount = 0;
    ModuleTable<std::string> dtmEntryName = notYetSetTable();
    ModuleTable<std::string> dtmId = notYetSetTable();
    ModuleTable<std::string> dtmIpAddress = notYetSetTable();
    ModuleTable<std::string> dtmIdentifier{};
    ModuleTable<int> IBSDTMrack{}, IBSDTMslot{};

    // Where the dynamic communication blocks look for module k: the initial values of their
    // IBY_Rack_k and IBY_Slot_k, which select the address IBS_IPk (initially "PMEDWLIPk"). The
    // first block that gives a value counts.
    ModuleTable<int> placeholderRack{}, placeholderSlot{};
    ModuleTable<bool> placeholderRackRead{}, placeholderSlotRead{};

    // The DTM entry whose IP address fills "PMEDWLIP1" and "PMEDWLIP2": the one at the place
    // its IBY_Rack_k and IBY_Slot_k name. Where they are missing, the module of the k-th IBY
    // declaration in the file, the order the Premium conversion met its modules in. The
    // pairing by place (after the checks) sets them.
    ModuleTable<int> placeholderDtm{0, 1, 2};

    // The first pass's own state: a module line was seen and its address line comes next.
    bool awaitingModuleAddress = false;
    // IBY_Rack_k (or IBY_Slot_k) was declared and its initial value may follow.
    int pendingPlaceModule = 0;
    bool pendingPlaceIsSlot = false;
};

}  // namespace vornick
