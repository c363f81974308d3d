#pragma once

// The IBS template set: the PLC data types and function blocks with which a Control Expert
// application loads an InterBus-S configuration and process-data map into the PMEDWL module.
// The set is printed as exchange-file text. Two names make it fit another device: the device
// word that names the three device types, and the device pin of the transfer block.

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace svc {

struct IbsTemplateNames {
    std::string deviceWord = "d0_s0";  // device types T_<word>, T_<word>_IN, T_<word>_OUT
    std::string pinName = "DIOiby";    // device pin of IBS_Layout_Xfer and its references
};

inline constexpr const char* ibsTemplateVersion = "1.01";
inline constexpr const char* ibsTemplateDateTime = "dt#2020-02-25-22:05:59";

using IbsAttribute = std::pair<std::string, std::string>;  // name, value

struct IbsMember {
    std::string name;
    std::string typeName;
    std::string comment;  // empty: no comment line
    std::vector<IbsAttribute> attributes;
};

struct IbsDataType {
    std::string name;
    std::string version = ibsTemplateVersion;
    std::string dateTime = ibsTemplateDateTime;
    std::string comment;  // empty: no comment line
    std::vector<IbsAttribute> attributes;
    // Plain records print each member on one line; the status and device types print an
    // opening line, the comment and attributes, and a closing line.
    bool oneLineMembers = false;
    std::vector<IbsMember> members;

    // Gives an existing member another type (earlier versions of a type differ only so).
    void setMemberType(const std::string& memberName, const std::string& typeName);
};

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

// The CRC-16 table of the reflected polynomial 16#A001 (the Modbus RTU table).
std::array<uint16_t, 256> ibsCrcTable();

// The two FBSource elements.
void printIbsLayoutCrc(std::ostream& out);
void printIbsLayoutXfer(std::ostream& out, const IbsTemplateNames& names);

// The whole set, in the order of the structured-text file: IBS_Layout_CRC, IBS_Manage,
// IBS_Config_Node, IBS_Map_Entry, IBS_Channel, IBS_Module, the three device types,
// IBS_Layout_Xfer.
void printIbsTemplateSet(std::ostream& out, const IbsTemplateNames& names);

}  // namespace svc
