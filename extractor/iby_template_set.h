#pragma once

// The IBY template set: the data types and function blocks that the conversion writes once into
// the rewritten project, in front of its first data block: the PMEDWL device types, the Config
// and Map tables with the management record, the status images, the layout checksum and
// transfer blocks, the status copy blocks, the six communication blocks that replace SEND_REQ,
// READ_VAR and WRITE_VAR, and the IODDT mapping blocks.

#include <functional>
#include <string_view>
#include <vector>

namespace extractor {

using LineSink = std::function<void(std::string_view line)>;  // one line, no line end

// Rack and slot of the two entries of the module table. The dynamic communication blocks
// start with these values and pick a module's IP text by them; an unused second entry holds
// -1, which no route names, so a route to rack 0 slot 0 never selects a missing module.
struct IbyModuleAddresses {
    int rack1 = 0;
    int slot1 = 0;
    int rack2 = -1;
    int slot2 = -1;
};

// The 20 elements in order, the dynamic blocks' racks and slots from the module table.
void writeIbyTemplateSet(const LineSink& writeLine, const IbyModuleAddresses& modules);

// The 20 elements in order, with an empty module table (the first entry 0, the second -1).
void writeIbyTemplateSet(const LineSink& writeLine);

// The elements whose names `wanted` takes, in order: a project that defines some of the names
// already gets only the others.
void writeIbyTemplateSet(const LineSink& writeLine, const IbyModuleAddresses& modules,
                         const std::function<bool(std::string_view name)>& wanted);

// The names of the 20 elements in the order they are written.
std::vector<std::string_view> ibyTemplateNames();

// The initial texts of IBS_IP1 and IBS_IP2 in the dynamic blocks, which the conversion to the
// PMEDWL module replaces by the IP addresses of the first and the second module.
inline constexpr std::string_view ibyModuleIpPlaceholder1 = "PMEDWLIP1";
inline constexpr std::string_view ibyModuleIpPlaceholder2 = "PMEDWLIP2";

// The marker lines at which the conversion to the PMEDWL module inserts its exchange call. The
// dynamic SEND_REQ marker holds the static one's key text, so a search for "SEND_REQ_DATA_EXCH"
// finds both.
inline constexpr std::string_view ibySendReqDynamicMarker = "(* DYNAMIC_SEND_REQ_DATA_EXCH  *)";
inline constexpr std::string_view ibySendReqMarker = "(* SEND_REQ_DATA_EXCH  *)";
inline constexpr std::string_view ibyReadVarMarker = "(* READ_VAR_DATA_EXCH  *)";
inline constexpr std::string_view ibyWriteVarMarker = "(* WRITE_VAR_DATA_EXCH  *)";

}  // namespace extractor
