// The first body's device manager: the CIP identity of the adapter, the mapping of the
// configuration variables, the assemblies and the connections that carry them.

#include "dtmrepo/writers/profile_sections.h"
#include "dtmrepo/writers/xml_text.h"

namespace dtmrepo {

namespace {

bool holdsVariables(const DescriptionRecord& r, int section) {
    return r.entryCount(section) > 0;
}

void writeMappingList(const DescriptionRecord& r, ProfileLines& out) {
    if (!holdsVariables(r, 0)) {
        return;
    }
    out.push_back("<cipMappingList>");
    for (int g = 1; g <= r.parGroupCount(); ++g) {
        for (int s = 0; s <= 2; ++s) {
            for (const VariableEntry& v : r.sections[s]) {
                if (v.varGroup != g) {
                    continue;
                }
                out.push_back(startTag("cipMapping", {{"parameterRef", parameterId(v)}}));
                out.insert(out.end(), {"<cipPath>",
                                       "<linkPath class=\"12\" instance=\"01\" attribute=\"01\"/>",
                                       "</cipPath>", "</cipMapping>"});
            }
        }
    }
    out.push_back("</cipMappingList>");
}

void writeAssembly(const DescriptionRecord& r, int n, ProfileLines& out) {
    const bool input = n % 2 == 1;
    const int k = input ? n : n - 1;
    std::string name = input ? "Standard Input Assembly" : "Standard Output Assembly";
    if (k > 1) {
        name += std::to_string(connectionNumber(k));
    }
    const long long size = r.assemblyByteCount[n] + (n == 1 ? 72 : n == 2 ? 26 : 0);
    out.push_back(startTag(
        "cipAssembly",
        {{"assemblyID", "Assem0" + std::to_string(n)}, {"name", name}, {"type", "assembly"}}));
    out.push_back(startTag("assemblySize", {{"size", std::to_string(size)}}, true));
    out.insert(out.end(),
               {"<Descriptor>",
                "<assemType>variable sized, compressed, adapter not included (3)</assemType>",
                "<NULLIndirectParamHandling>member size/reference pair "
                "ignored</NULLIndirectParamHandling>",
                "</Descriptor>"});
    for (const VariableEntry& v : r.sections[n]) {
        out.push_back("<assembly>");
        out.push_back(startTag("cipParameter", {{"parameterIDRef", parameterId(v)}}) +
                      "</cipParameter>");
        out.push_back("</assembly>");
    }
    out.push_back("</cipAssembly>");
}

void writeAssemblyList(const DescriptionRecord& r, ProfileLines& out) {
    out.push_back("<cipAssemblyList>");
    for (int k = 1; k <= 7; k += 2) {
        if (holdsVariables(r, k)) {
            writeAssembly(r, k, out);
        }
        if (holdsVariables(r, k + 1)) {
            writeAssembly(r, k + 1, out);
        }
    }
    out.push_back("</cipAssemblyList>");
}

void writeDirectionParameters(std::string_view direction, const std::string& format,
                              ProfileLines& out) {
    out.push_back(std::string("<") + std::string(direction) +
                  " selectedConnectionType=\"POINT2POINT\" selectedPriority=\"HIGH\" "
                  "selectedTransportFormat=\"" +
                  format + "\">");
    out.push_back("<size type=\"variable size supported\"/>");
    out.push_back("<transferFormat>" + format + "</transferFormat>");
    out.insert(out.end(), {"<connectionType>POINT2POINT</connectionType>",
                           "<connectionType>MULTICAST</connectionType>",
                           "<priority>HIGH</priority>", "</" + std::string(direction) + ">"});
}

void writeConnection(const DescriptionRecord& r, int k, ProfileLines& out) {
    const std::string m = std::to_string(connectionNumber(k));
    const bool primary = k == 1;
    if (primary) {
        out.push_back(
            "<cipConnection connectionID=\"PTK_PrimaryConnection\" name=\"Primary Read/Write Data "
            "Connection\" help=\"Exclusive Owner Connection\" type=\"connection\" "
            "selected=\"1\">");
    } else {
        out.push_back(startTag("cipConnection", {{"connectionID", "PTK_SecondaryConnection" + m},
                                                 {"name", "Read/Write Data Connection" + m},
                                                 {"help", "Exclusive Owner Connection"},
                                                 {"type", "connection"},
                                                 {"selected", "1"}}));
    }
    out.insert(
        out.end(),
        {"<triggerTransport>", "<class>Class 1: duplicate detect</class>",
         "<triggerMode>cyclic</triggerMode>", "<transportType>Exclusive-Owner</transportType>",
         "<clientServer>Server</clientServer>", "</triggerTransport>", "<connectionParameters>"});
    writeDirectionParameters(
        "O2T", primary ? "32-bit run/idle header" : "Connection is pure data and is modeless", out);
    writeDirectionParameters("T2O", "Connection is pure data and is modeless", out);
    out.push_back("</connectionParameters>");

    const std::string ot = primary ? "P_RPI_OT_PrimaryConnection" : "P_RPI_OT_Connection" + m;
    const std::string to = primary ? "P_RPI_TO_PrimaryConnection" : "P_RPI_TO_Connection" + m;
    out.push_back("<O2T_RPI>");
    out.push_back(startTag("cipParameter", {{"parameterIDRef", ot}}, true));
    out.push_back("</O2T_RPI>");
    out.push_back("<O2T_size>");
    out.push_back(startTag(
        "size", {{"value", std::to_string(r.assemblyByteCount[k + 1] + (primary ? 26 : 0))}},
        true));
    out.push_back("</O2T_size>");
    out.push_back("<O2T_format>");
    out.push_back(startTag("cipAssembly", {{"assemblyIDRef", "Assem0" + std::to_string(k)}}, true));
    out.push_back("</O2T_format>");
    out.push_back("<T2O_RPI>");
    out.push_back(startTag("cipParameter", {{"parameterIDRef", to}}, true));
    out.push_back("</T2O_RPI>");
    out.push_back("<T2O_size>");
    out.push_back(startTag(
        "size", {{"value", std::to_string(r.assemblyByteCount[k] + (primary ? 72 : 0))}}, true));
    out.push_back("</T2O_size>");
    out.push_back("<T2O_format>");
    out.push_back(
        startTag("cipAssembly", {{"assemblyIDRef", "Assem0" + std::to_string(k + 1)}}, true));
    out.push_back("</T2O_format>");
    out.push_back("<cipPath>");
    out.push_back(startTag(
        "ePath",
        {{"pathType", "padded"},
         {"value", "20 04 24 64 2C " + r.assemblyPathHex[k + 1] + " 2C " + r.assemblyPathHex[k]}},
        true));
    out.push_back("</cipPath>");
    out.push_back("</cipConnection>");
}

}  // namespace

void writeDeviceManager(const DescriptionRecord& r, ProfileLines& out) {
    out.insert(out.end(),
               {"<DeviceManager>", "<communicationEntity communicationEntityType=\"uplink\">",
                "<EthernetIP>", "<cipDeviceIdentity>", "<vendorID>243</vendorID>",
                "<vendorName>Dizodozav Ovodurid</vendorName>", "<deviceType>12</deviceType>",
                "<deviceTypeString>Communication Adapter</deviceTypeString>",
                "<productCode>17409</productCode>", "<majorRevision>1</majorRevision>",
                "<minorRevision>0</minorRevision>"});
    out.push_back(textElement("productName", r.productName));
    out.push_back("</cipDeviceIdentity>");
    writeMappingList(r, out);
    writeAssemblyList(r, out);
    out.push_back("<cipConnectionList>");
    for (int k = 1; k <= 7; k += 2) {
        if (holdsVariables(r, k)) {
            writeConnection(r, k, out);
        }
    }
    out.push_back("</cipConnectionList>");
    out.insert(out.end(), {"</EthernetIP>", "</communicationEntity>", "</DeviceManager>"});
}

}  // namespace dtmrepo
