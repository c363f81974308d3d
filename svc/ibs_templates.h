#pragma once

// The IBS template set: the PLC data types and function blocks with which a Control Expert
// application loads an InterBus-S configuration and process-data map into the PMEDWL module.
// The set is printed as exchange-file text. Two names make it fit another device: the device
// word that names the three device types, and the device pin of the transfer block.

#include <ostream>
#include <string>

#include "svc/template_set.h"

namespace svc {

struct IbsTemplateNames {
    std::string deviceWord = "d0_s0";  // device types T_<word>, T_<word>_IN, T_<word>_OUT
    std::string pinName = "DIOiby";    // device pin of IBS_Layout_Xfer and its references
};

inline constexpr const char* ibsTemplateVersion = "1.01";
inline constexpr const char* ibsTemplateDateTime = "dt#2020-02-25-22:05:59";

// The IBS names of the shared template text (kept for the writers that print IBS types).
using IbsAttribute = TemplateAttribute;
using IbsMember = TemplateMember;
using IbsDataType = TemplateDataType;

// The IBS set's names and stamp for a device word and pin name.
TemplateVariant ibsTemplateVariant(const IbsTemplateNames& names);

IbsDataType ibsManageType();
IbsDataType ibsConfigNodeType();
IbsDataType ibsMapEntryType();
IbsDataType ibsChannelType();
IbsDataType ibsModuleType();
IbsDataType ibsDeviceType(const IbsTemplateNames& names);
IbsDataType ibsDeviceInputType(const IbsTemplateNames& names);
IbsDataType ibsDeviceOutputType(const IbsTemplateNames& names);

// One DDTSource element.
void printIbsDataType(std::ostream& out, const IbsDataType& type);

// The two FBSource elements.
void printIbsLayoutCrc(std::ostream& out);
void printIbsLayoutXfer(std::ostream& out, const IbsTemplateNames& names);

// The whole set, in the order of the structured-text file: IBS_Layout_CRC, IBS_Manage,
// IBS_Config_Node, IBS_Map_Entry, IBS_Channel, IBS_Module, the three device types,
// IBS_Layout_Xfer.
void printIbsTemplateSet(std::ostream& out, const IbsTemplateNames& names);

}  // namespace svc
