#pragma once

// The data types and layout blocks that every generated template set shares: the management
// record with its Config and Map tables, the channel and module status images, the device types
// of the PMEDWL module, the layout checksum and the layout transfer. A variant names them and
// picks the few lines in which one set departs from another; the members and the program texts
// are held once, here.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "svc/template_printer.h"

namespace svc {

// What an element's head line and checksum attributes carry.
struct TemplateStamp {
    std::string version;
    std::string dateTime;  // with its "dt#" prefix
    std::string codeCheckSum = "0000";
    std::string signatureCheckSum = "0000";
};

struct TemplateVariant {
    std::string prefix;      // names IBS_Manage, IBS_Layout_CRC, ... with "IBS_"
    std::string deviceType;  // the device type; its two areas add "_IN" and "_OUT"
    std::string pinName;     // device pin of the transfer block, prefix of its references
    // The stamp of the element printed under this name.
    std::function<TemplateStamp(std::string_view elementName)> stamp;

    bool deviceAreasLocked = true;      // "IsTypeLocked" on the two device areas
    bool freshnessAccessRights = true;  // access-right attributes on the freshness bits
    bool windowModeEcho = false;        // the input area echoes the window mode
    std::string windowModeComment = "0=Config; 1=Map";
    std::string configNameType = "string[10]";
    bool transferInputParameters = false;  // an empty inputParameters section
    // Config_Done set once the checksums agree, even before the module reports the table
    // loaded.
    bool transferConfigDoneOnAgreement = true;
    // A map window mode left behind reset when the map index runs out.
    bool transferMapModeResetAtLimit = true;

    std::string name(std::string_view element) const { return prefix + std::string(element); }
};

enum class SharedTemplate {
    layoutCrc,
    manage,
    configNode,
    mapEntry,
    channel,
    module,
    device,
    deviceInput,
    deviceOutput,
    layoutXfer,
};

TemplateDataType templateManageType(const TemplateVariant& variant);
TemplateDataType templateConfigNodeType(const TemplateVariant& variant);
TemplateDataType templateMapEntryType(const TemplateVariant& variant);
TemplateDataType templateChannelType(const TemplateVariant& variant);
TemplateDataType templateModuleType(const TemplateVariant& variant);
TemplateDataType templateDeviceType(const TemplateVariant& variant);
TemplateDataType templateDeviceInputType(const TemplateVariant& variant);
TemplateDataType templateDeviceOutputType(const TemplateVariant& variant);
TemplateFunctionBlock templateLayoutCrc(const TemplateVariant& variant);
TemplateFunctionBlock templateLayoutXfer(const TemplateVariant& variant);

// A block without sections or text under `name`, with the variant's stamp for it.
TemplateFunctionBlock stampedBlock(const TemplateVariant& variant, std::string name);

void printSharedTemplate(const TemplateLineSink& sink, SharedTemplate element,
                         const TemplateVariant& variant);

// The CRC-16 table of the reflected polynomial 16#A001 (the Modbus RTU table).
std::array<uint16_t, 256> ibsCrcTable();

}  // namespace svc
