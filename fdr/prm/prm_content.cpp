#include "fdr/prm/prm_content.h"

#include <array>
#include <cstdio>
#include <utility>

#include "fdr/prm/crc32.h"
#include "fdr/prm/hex_text.h"
#include "fdr/prm/prm_bytes.h"
#include "fdr/prm/prm_header.h"

namespace fdr {

namespace {

constexpr std::size_t kAssemblyRecordSize = 16;
constexpr std::size_t kVariableHeadSize = 4;  // register, type, type length

constexpr std::array<std::string_view, 21> kEipTypeNames = {
    "BOOL  ", "",       "UINT  ", "INT   ", "", "", "", "", "", "REAL  ", "",
    "STRING", "BYTE  ", "WORD  ", "DWORD ", "", "", "", "", "", ""};

std::string BeyondTheEnd(const std::string& what, std::size_t size) {
    return what + " lies beyond the end of the file (" + std::to_string(size) + " bytes)";
}

// A fault is kept for the reports and shown in the trace where it was found.
void AddFault(PrmContent& content, std::ostream& trace, std::string fault) {
    trace << fault << "\n";
    content.faults.push_back(std::move(fault));
}

std::string SectionLabel(const PrmSection& section) {
    return "section '" + section.name + "' (ID " + std::to_string(section.id) + ")";
}

// The data width that a type's value takes; 0 for STRING (any length) and -1 for types that
// carry no value.
int TypeWidth(unsigned type) {
    switch (type) {
        case eipBool:
        case eipByte:
            return 1;
        case eipUint:
        case eipInt:
        case eipWord:
            return 2;
        case eipReal:
        case eipDword:
            return 4;
        case eipString:
            return 0;
        default:
            return -1;
    }
}

void ChecksumsOf(std::span<const uint8_t> bytes, PrmContent& content) {
    std::vector<uint8_t> first(bytes.begin(), bytes.end());
    for (std::size_t i = 0; i < 4 && i < first.size(); ++i)
        first[i] = 0;
    std::vector<uint8_t> second = first;
    for (std::size_t i = 32; i < 40 && i < second.size(); ++i)
        second[i] = 0;
    content.vChecksum = calcCrc32(first.data(), first.size());
    content.configChecksum = calcCrc32(second.data(), second.size());
    const PrmBytes file(bytes);
    content.fileChecksum = file.u32BigEndian(0);
    content.checksumGood = file.holds(0, 4) && content.fileChecksum == content.vChecksum;
}

void TraceHeader(const PrmBytes& file, std::ostream& trace) {
    for (const HeaderField& field : prmHeaderFields()) {
        const std::string value = showHeaderField(file, field);
        if (isTextField(field))
            trace << field.name << " = '" << value << "'\n";
        else
            trace << field.name << " = " << value << "\n";
    }
}

void ReadSectionTable(const PrmBytes& file, PrmContent& content, std::ostream& trace) {
    const unsigned count = file.u16(sectionCountOffset);
    for (unsigned m = 1; m <= count; ++m) {
        const std::size_t at = prmHeaderSize + prmSectionEntrySize * (m - 1);
        if (!file.holds(at, prmSectionEntrySize)) {
            AddFault(content, trace,
                     BeyondTheEnd("section table entry " + std::to_string(m) + " of " +
                                      std::to_string(count),
                                  file.size()));
            return;
        }
        PrmSection section;
        section.id = file.u16(at);
        section.name = file.text(at + 2, 20);
        section.versionMinor = file.u8(at + 22);
        section.versionMajor = file.u8(at + 23);
        section.location = file.u32(at + 24);
        section.hostMapping = file.u16(at + 28);
        section.configSize = file.u16(at + 30);
        section.flags = file.u16(at + 32);
        trace << " -----  Section " << m << "  offset = " << at << "  --------- \n"
              << "SectionID = " << section.id << "\n"
              << "SectionName = '" << section.name << "'\n"
              << "SectionVersion = " << unsigned{section.versionMajor} << "."
              << unsigned{section.versionMinor} << "\n"
              << "SectionLocation = " << section.location << "\n"
              << "SectionHostMapping = " << section.hostMapping << "\n"
              << "SectionConfigSize = " << section.configSize << "\n"
              << "SectionFlags = " << section.flags << "\n";
        content.sections.push_back(section);
    }
}

// Each reader starts at the section's location; false (with a fault) when the section's data
// runs past the end of the file, keeping what was read before that point.
bool ReadProtocolOptions(const PrmBytes& file, std::size_t at, std::ostream& trace) {
    if (!file.holds(at, 2))
        return false;
    trace << "Protocol Options = " << file.u16(at) << "\n";
    return true;
}

bool ReadFdrSettings(const PrmBytes& file, std::size_t at, std::ostream& trace) {
    if (!file.holds(at, 2 + 64 + 64 + 2))
        return false;
    trace << "Configuration Control = " << hexText(file.u16(at), 4) << "\n"
          << "Server 1 IP Address = '" << file.rawText(at + 2, 64) << "'\n"
          << "Server 2 IP Address = '" << file.rawText(at + 66, 64) << "'\n"
          << "Control Interval = " << hexText(file.u16(at + 130), 4) << "\n";
    return true;
}

bool ReadAssemblies(const PrmBytes& file, std::size_t at, PrmContent& content,
                    const PrmSection& section, std::ostream& trace) {
    content.assemblies.clear();
    if (!file.holds(at, 2))
        return false;
    const unsigned count = file.u16(at);
    trace << "Assembly Count = " << count << "\n";
    std::size_t next = at + 2;
    for (unsigned n = 1; n <= count; ++n, next += kAssemblyRecordSize) {
        if (!file.holds(next, kAssemblyRecordSize)) {
            AddFault(content, trace,
                     BeyondTheEnd("assembly " + std::to_string(n) + " of " + std::to_string(count) +
                                      " in " + SectionLabel(section),
                                  file.size()));
            return true;
        }
        PrmAssembly assembly;
        assembly.instance = file.u32(next);
        assembly.type = file.u16(next + 4);
        assembly.size = file.u16(next + 6);
        assembly.registerType = file.u16(next + 8);
        assembly.dataId = file.u32(next + 10);
        assembly.blockSize = file.u16(next + 14);
        trace << "AssemblyInstance = " << assembly.instance << "\n"
              << "AssemblyType = " << assembly.type << " '" << assemblyTypeName(assembly.type)
              << "'\n"
              << "AssemblySize = " << assembly.size << "\n"
              << "AssemblyRegisterType = " << assembly.registerType << "\n"
              << "AssemblyDataID = " << assembly.dataId << "\n"
              << "AssemblyBlockSize = " << assembly.blockSize << "\n";
        content.assemblies.push_back(assembly);
    }
    return true;
}

void ReadValue(const PrmBytes& file, std::size_t at, PrmVariable& variable) {
    switch (variable.type) {
        case eipBool:
        case eipByte:
            variable.integer = file.u8(at);
            break;
        case eipUint:
        case eipInt:
        case eipWord:
            variable.integer = file.u16(at);
            break;
        case eipDword:
            variable.integer = static_cast<int32_t>(file.u32(at));
            break;
        case eipReal:
            variable.single = file.f32(at);
            break;
        case eipString:
            variable.text = file.rawText(at, variable.typeLength);
            break;
        default:
            break;
    }
}

bool ReadVariables(const PrmBytes& file, std::size_t at, PrmContent& content,
                   const PrmSection& section, std::ostream& trace) {
    content.variables.clear();
    if (!file.holds(at, 2))
        return false;
    const unsigned count = file.u16(at);
    trace << "EIP Count = " << count << "\n";
    std::size_t next = at + 2;
    for (unsigned t = 1; t <= count; ++t) {
        const std::string which =
            "variable " + std::to_string(t) + " of " + std::to_string(count) + " in ";
        if (!file.holds(next, kVariableHeadSize)) {
            AddFault(content, trace, BeyondTheEnd(which + SectionLabel(section), file.size()));
            return true;
        }
        PrmVariable variable;
        variable.eipRegister = file.u16(next);
        variable.type = file.u8(next + 2);
        variable.typeLength = file.u8(next + 3);
        next += kVariableHeadSize;
        // A value is taken only when its length is the one its type has; otherwise the next
        // variable starts where this one's data would have begun.
        const int width = TypeWidth(variable.type);
        const bool consumed = width == 0 || (width > 0 && variable.typeLength == width);
        if (consumed) {
            if (!file.holds(next, variable.typeLength)) {
                AddFault(
                    content, trace,
                    BeyondTheEnd("the value of " + which + SectionLabel(section), file.size()));
                return true;
            }
            ReadValue(file, next, variable);
            next += variable.typeLength;
        }
        trace << "EIPRegister = " << variable.eipRegister << "\n"
              << "EIPType = " << unsigned{variable.type} << " '" << eipTypeName(variable.type)
              << "'\n"
              << "Type Length = " << unsigned{variable.typeLength} << "\n";
        if (variable.type == eipString)
            trace << "Value = '" << variable.text << "'\n";
        else if (variable.type == eipReal)
            trace << "Value = " << showReal(variable.single) << "\n";
        else
            trace << "Value = " << variable.integer << "\n";
        content.variables.push_back(variable);
    }
    return true;
}

void ReadSections(const PrmBytes& file, PrmContent& content, std::ostream& trace) {
    for (const PrmSection& section : content.sections) {
        const std::size_t at = section.location;
        trace << "Section '" << section.name << "' at offset " << at << "\n";
        bool inside = true;
        switch (section.id) {
            case protocolOptionsSection:
                inside = ReadProtocolOptions(file, at, trace);
                break;
            case fdrSettingsSection:
                inside = ReadFdrSettings(file, at, trace);
                break;
            case assembliesSection:
                inside = ReadAssemblies(file, at, content, section, trace);
                break;
            case variablesSection:
                inside = ReadVariables(file, at, content, section, trace);
                break;
            default:
                trace << "SectionID " << section.id << " not decoded\n";
                break;
        }
        if (!inside) {
            AddFault(content, trace,
                     BeyondTheEnd(SectionLabel(section) + " at offset " + std::to_string(at),
                                  file.size()));
        }
    }
}

}  // namespace

std::string showReal(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

std::string_view eipTypeName(unsigned type) {
    return type < kEipTypeNames.size() ? kEipTypeNames[type] : std::string_view();
}

std::string_view assemblyTypeName(unsigned type) {
    return type == 1 ? "Input " : type == 2 ? "Output" : "";
}

PrmContent decodePrmContent(std::span<const uint8_t> bytes, std::ostream& trace) {
    PrmContent content;
    content.size = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        trace << "byte " << i << " = " << hexText(bytes[i], 2) << "\n";
    ChecksumsOf(bytes, content);
    const PrmBytes file(bytes);
    content.headerComplete = file.holds(0, prmHeaderSize);
    if (!content.headerComplete) {
        AddFault(content, trace,
                 "the file holds " + std::to_string(bytes.size()) + " bytes; its header needs " +
                     std::to_string(prmHeaderSize));
        return content;
    }
    TraceHeader(file, trace);
    content.configDate = showHeaderField(file, configDateField);
    content.configTime = showHeaderField(file, configTimeField);
    content.creatorVersion = showHeaderField(file, creatorVersionField);
    content.configFileSize = static_cast<int32_t>(file.u32(configFileSizeField.offset));
    ReadSectionTable(file, content, trace);
    ReadSections(file, content, trace);
    return content;
}

}  // namespace fdr
