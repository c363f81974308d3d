#include "tests/converter/m580_project.h"

#include <zip.h>

#include <stdexcept>

namespace m580_test {
namespace {

using Lines = std::vector<std::string>;

std::string suffixOf(const Module& module) {
    return "_d" + std::to_string(module.rack) + "_s" + std::to_string(module.slot);
}

void add(Lines& lines, std::initializer_list<std::string> more) {
    lines.insert(lines.end(), more);
}

// A member, parameter or variable with one line inside its element.
void element(Lines& lines, const std::string& name, const std::string& type,
             const std::string& inner) {
    add(lines, {"\t\t\t<variables name=\"" + name + "\" typeName=\"" + type + "\">",
                "\t\t\t\t" + inner, "\t\t\t</variables>"});
}

struct Member {
    const char* name;
    const char* type;
    const char* comment;
};

const std::string signatureAttribute =
    "<attribute name=\"TypeSignatureCheckSumString\" value=\"0000\"></attribute>";
const std::string hiddenAttribute =
    "<attribute name=\"IsTypeHiddenButExported\" value=\"TRUE\"></attribute>";

void deviceType(Lines& lines, const std::string& name, const Lines& head,
                std::initializer_list<Member> members) {
    lines.push_back("\t<DDTSource DDTName=\"" + name +
                    "\" version=\"1.00\" dateTime=\"dt#2018-12-21-15:49:35\">");
    for (const std::string& line : head) {
        lines.push_back("\t\t" + line);
    }
    lines.push_back("\t\t<structure>");
    for (const Member& member : members) {
        element(lines, member.name, member.type,
                "<comment>" + std::string(member.comment) + "</comment>");
    }
    add(lines, {"\t\t</structure>", "\t</DDTSource>"});
}

// The three device types, each from its DDTSource line to its closing line, and the
// management type.
void deviceTypes(Lines& lines) {
    deviceType(lines, "T_IBY_DIO_OUT", {signatureAttribute, hiddenAttribute},
               {{"Free4", "ARRAY[0..25] OF BYTE", "Unused Variable"},
                {"Q_Handshake", "INT", "Output Window Handshake"},
                {"QW", "ARRAY[0..241] OF INT", "DP_Output_Data"}});
    deviceType(lines, "T_IBY_DIO",
               {"<comment>Device DDT for embedded M580 DTM (with standalone PLC)</comment>",
                signatureAttribute},
               {{"Freshness", "BOOL", "Global Freshness"},
                {"Inputs", "T_IBY_DIO_IN", "Input Variables"},
                {"Outputs", "T_IBY_DIO_OUT", "Output Variables"}});
    deviceType(lines, "T_IBY_DIO_IN", {signatureAttribute},
               {{"PDWL_Status", "WORD", ".0=E1 LinkOK; .9=Config Loaded;"},
                {"IW", "ARRAY[0..241] OF INT", "DP_Input_Data"}});
    add(lines,
        {"\t<DDTSource DDTName=\"IBY_Manage\" version=\"0.05\" "
         "dateTime=\"dt#2019-03-25-12:16:35\">",
         "\t\t<attribute name=\"TypeSignatureCheckSumString\" value=\"0000\"></attribute>",
         "\t\t<structure>", "\t\t\t<variables name=\"Active\" typeName=\"BOOL\"></variables>",
         "\t\t\t<variables name=\"Channel\" typeName=\"IBY_channel\"></variables>",
         "\t\t\t<variables name=\"Module\" typeName=\"IBY_module\"></variables>",
         "\t\t</structure>", "\t</DDTSource>"});
}

void blockHead(Lines& lines, const std::string& name, const std::string& version,
               const std::string& date) {
    add(lines, {"\t<FBSource nameOfFBType=\"" + name + "\" version=\"" + version +
                    "\" dateTime=\"dt#" + date + "\">",
                "\t\t<attribute name=\"TypeCodeCheckSumString\" value=\"0000\"></attribute>",
                "\t\t<attribute name=\"TypeSignatureCheckSumString\" value=\"0000\"></attribute>"});
}

void pin(Lines& lines, const std::string& name, const std::string& type, int position) {
    element(
        lines, name, type,
        "<attribute name=\"PositionPin\" value=\"" + std::to_string(position) + "\"></attribute>");
}

void initialised(Lines& lines, const std::string& name, const std::string& type,
                 const std::string& value) {
    element(lines, name, type, "<variableInit value=\"" + value + "\"></variableInit>");
}

void blockProgram(Lines& lines, const std::string& section, const Lines& text) {
    lines.push_back("\t\t<FBProgram name=\"" + section + "\">");
    lines.push_back("<STSource>");
    lines.insert(lines.end(), text.begin(), text.end());
    add(lines, {"</STSource>", "\t\t</FBProgram>", "\t</FBSource>"});
}

void layoutXfer(Lines& lines) {
    blockHead(lines, "IBY_Layout_Xfer", "0.22", "2018-03-28-11:31:40");
    add(lines, {"\t\t<inputParameters>", "\t\t</inputParameters>", "\t\t<inOutParameters>"});
    pin(lines, "DIOiby", "T_IBY_DIO", 4);
    pin(lines, "Manage", "IBY_Manage", 6);
    add(lines, {"\t\t</inOutParameters>", "\t\t<privateLocalVariables>",
                "\t\t\t<variables name=\"Config_Index\" typeName=\"INT\"></variables>",
                "\t\t</privateLocalVariables>"});
    blockProgram(lines, "MoveIt",
                 {"(* IBS_Layout_Xfer    V1.01 *)", "IF NOT DIOiby.Freshness THEN",
                  "\tDIOiby.Outputs.Q_Handshake := 0;",
                  "\tManage.errorstring := 'DIOiby not Fresh';", "END_IF;"});
}

void ioddtIn(Lines& lines) {
    blockHead(lines, "IBY_IODDT_IN", "0.22", "2018-03-28-11:31:40");
    add(lines, {"\t\t<inputParameters>", "\t\t</inputParameters>", "\t\t<inOutParameters>"});
    pin(lines, "DIOiby", "T_IBY_DIO", 4);
    pin(lines, "Manage", "IBY_Manage", 6);
    add(lines,
        {"\t\t</inOutParameters>", "\t\t<privateLocalVariables>", "\t\t</privateLocalVariables>"});
    blockProgram(lines, "MapIN",
                 {"(* IBS_IODDT_IN    V1.01 *)",
                  "Manage.Module.INTERNAL_FLT := DIOiby.Inputs.IBS_Status[0].4;"});
}

// The dynamic blocks name each module of the Premium conversion's module table by its rack and
// slot; an empty entry gives 0.
void sendReqDynamic(Lines& lines, const std::vector<Module>& modules) {
    blockHead(lines, "IBY_SEND_REQ_DYNAMIC", "1.04", "2021-09-07-21:27:25");
    add(lines, {"\t\t<inputParameters>"});
    pin(lines, "Route", "ARRAY[0..5] OF INT", 1);
    pin(lines, "Request_Code", "INT", 2);
    add(lines, {"\t\t</inputParameters>", "\t\t<inOutParameters>"});
    pin(lines, "GEST", "ANY_ARRAY_INT", 4);
    pin(lines, "RECP", "ANY_ARRAY_INT", 5);
    add(lines, {"\t\t</inOutParameters>", "\t\t<publicLocalVariables>"});
    for (std::size_t k = 1; k <= 2; ++k) {
        const bool used = k <= modules.size();
        initialised(lines, "IBY_Rack_" + std::to_string(k), "INT",
                    std::to_string(used ? modules[k - 1].rack : 0));
        initialised(lines, "IBY_Slot_" + std::to_string(k), "INT",
                    std::to_string(used ? modules[k - 1].slot : 0));
    }
    add(lines, {"\t\t\t<variables name=\"IBS_IP\" typeName=\"string\"></variables>"});
    initialised(lines, "IBS_IP1", "string", "PMEDWLIP1");
    initialised(lines, "IBS_IP2", "string", "PMEDWLIP2");
    add(lines, {"\t\t\t<variables name=\"ADDMstring\" typeName=\"string[32]\"></variables>",
                "\t\t\t<variables name=\"Output_Data\" typeName=\"ARRAY[0..124] OF INT\">"
                "</variables>",
                "\t\t</publicLocalVariables>"});
    blockProgram(lines, "Do_the_Send_Req",
                 {"index := 0;",
                  "if (AND(Route[2],255) = IBY_Rack_1) and (AND(SHR(Route[2],8),255) = IBY_Slot_1) "
                  "then",
                  "\tindex := 1;", "\tIBS_IP := IBS_IP1;", "end_if;", "if index &gt; 0 then",
                  "\tADDMstring := concat_str('0.0.3{', IBS_IP);", "",
                  "(* DYNAMIC_SEND_REQ_DATA_EXCH  *)", "", "end_if;"});
}

void staticBlock(Lines& lines, const std::string& name, const std::string& section,
                 const std::string& marker) {
    blockHead(lines, name, "1.03", "2021-09-07-11:31:40");
    add(lines, {"\t\t<inputParameters>"});
    pin(lines, "Target", "INT", 1);
    pin(lines, "IBSIP", "STRING", 2);
    add(lines, {"\t\t</inputParameters>", "\t\t<inOutParameters>"});
    pin(lines, "GEST", "ANY_ARRAY_INT", 5);
    add(lines, {"\t\t</inOutParameters>", "\t\t<publicLocalVariables>",
                "\t\t\t<variables name=\"ADDMstring\" typeName=\"string[32]\"></variables>",
                "\t\t</publicLocalVariables>"});
    blockProgram(lines, section,
                 {"(* Make the ADDMstring into the form '0.0.3{192.168.1.20}10' *)",
                  "ADDMstring := concat_str('0.0.3{', IBSIP);",
                  "GEST[0] := 0;  (* Zero the status *)", marker});
}

void communicationBlocks(Lines& lines, const std::vector<Module>& modules) {
    sendReqDynamic(lines, modules);
    staticBlock(lines, "IBY_SEND_REQ", "Do_The_Send_Req", "(* SEND_REQ_DATA_EXCH  *)");
    staticBlock(lines, "IBY_READ_VAR", "Do_The_READ_VAR", "(* READ_VAR_DATA_EXCH  *)");
    staticBlock(lines, "IBY_WRITE_VAR", "Do_The_WRITE_VAR", "(* WRITE_VAR_DATA_EXCH  *)");
}

void declaration(Lines& lines, const std::string& name, const std::string& type) {
    lines.push_back("\t\t<variables name=\"" + name + "\" typeName=\"" + type + "\"></variables>");
}

void section(Lines& lines, const std::string& name, const Lines& text) {
    add(lines, {"\t<program>", "\t\t<identProgram name=\"" + name +
                                   "\" type=\"section\" task=\"MAST\">"
                                   "</identProgram>"});
    lines.push_back("<STSource>" + text.front());
    lines.insert(lines.end(), text.begin() + 1, text.end());
    add(lines, {"</STSource>", "\t</program>"});
}

}  // namespace

std::vector<std::string> premiumConvertedLines(const std::vector<Module>& modules,
                                               const std::vector<std::string>& templateSet) {
    Lines lines = templateSet;
    if (templateSet.empty()) {
        deviceTypes(lines);
        layoutXfer(lines);
        ioddtIn(lines);
        communicationBlocks(lines, modules);
    }
    lines.push_back("\t<dataBlock>");
    lines.push_back("\t\t<variables name=\"Emis\" typeName=\"ARRAY[0..9] OF INT\"></variables>");
    for (const Module& module : modules) {
        const std::string s = suffixOf(module);
        declaration(lines, "IBY_DIO" + s, "T_IBY_DIO");
        declaration(lines, "IBY_Manage" + s, "IBY_Manage");
        declaration(lines, "IBY_Layout_Xfer" + s, "IBY_Layout_Xfer");
        declaration(lines, "IBY_Layout_CRC" + s, "IBY_Layout_CRC");
        declaration(lines, "IBY_IODDT_IN" + s, "IBY_IODDT_IN");
        declaration(lines, "IBY_IODDT_OUT" + s, "IBY_IODDT_OUT");
    }
    declaration(lines, "IBY_SEND_REQ_1", "IBY_SEND_REQ");
    declaration(lines, "IBY_READ_VAR_1", "IBY_READ_VAR");
    lines.push_back("\t</dataBlock>");
    for (const Module& module : modules) {
        const std::string s = suffixOf(module);
        const std::string place =
            "rack " + std::to_string(module.rack) + " slot " + std::to_string(module.slot);
        section(
            lines, "IBY_IN" + s,
            {"(* Copy data to variables that were topologically located in the Premium IBY " +
                 place + ". *)",
             "IF IBY_DIO" + s + ".Freshness THEN", "\tx1 := IBY_DIO" + s + ".Inputs.IW[5];",
             "END_IF;", "", "IBY_IODDT_IN" + s + " (IBY_DIO" + s + ", IBY_Manage" + s + ");", ""});
        section(lines, "IBY_LOAD" + s,
                {"IBY_Layout_CRC" + s + " (Manage := IBY_Manage" + s + ");",
                 "IBY_Layout_Xfer" + s + " (DIOiby := IBY_DIO" + s + ", Manage := IBY_Manage" + s +
                     ");"});
    }
    const Module& first = modules.front();
    const std::string r = std::to_string(first.rack), sl = std::to_string(first.slot);
    section(lines, "Application",
            {"IBY_SEND_REQ_1(254,'IBYSENDREQIPd" + r + "_s" + sl + "', 16#31, Emis, Gest, Recp);",
             "IBY_READ_VAR_1(7, 'IBYREADVARIPd" + r + "_s" + sl + "', 3, 1, GEST, TAB);"});
    for (const Module& module : modules) {
        const std::string s = suffixOf(module);
        section(lines, "IBY_OUT" + s,
                {"(* Copy data to variables that were topologically located in the original "
                 "Premium IBY rack. *)",
                 "", "IBY_IODDT_OUT" + s + " (IBY_DIO" + s + ", IBY_Manage" + s + ");", ""});
    }
    lines.push_back("\t<tasks>");
    lines.push_back("\t\t<taskDesc task=\"MAST\" cyclic=\"0\">");
    int order = 1;
    for (const Module& module : modules) {
        const std::string s = suffixOf(module);
        for (const std::string& name : {"IBY_IN" + s, "IBY_LOAD" + s}) {
            lines.push_back("\t\t\t\t<sectionDesc name=\"" + name + "\" SectionOrder=\"" +
                            std::to_string(order++) + "\"></sectionDesc>");
        }
    }
    lines.push_back("\t\t\t\t<sectionDesc name=\"Application\" SectionOrder=\"" +
                    std::to_string(order++) + "\"></sectionDesc>");
    for (const Module& module : modules) {
        lines.push_back("\t\t\t\t<sectionDesc name=\"IBY_OUT" + suffixOf(module) +
                        "\" SectionOrder=\"" + std::to_string(order++) + "\"></sectionDesc>");
    }
    lines.push_back("\t\t</taskDesc>");
    lines.push_back("\t</tasks>");
    return lines;
}

Module secondModule() {
    Module module;
    module.slot = 5;
    module.dtmName = "PMEDWL_B";
    module.dtmId = "2";
    module.ipAddress = "192.168.10.5";
    return module;
}

void addControlExpertLines(std::vector<std::string>& lines, const std::vector<Module>& modules,
                           bool dtmEntriesReversed) {
    const int ioEnd = findLine(lines, "</IOConf>");
    const int blockEnd = findLine(lines, "</dataBlock>");
    if (ioEnd < 0 || blockEnd < ioEnd) {
        throw std::runtime_error("no I/O configuration ahead of a data block");
    }
    Lines rack;
    for (const Module& module : modules) {
        add(rack, {"\t\t<partItem partNumber=\"BMX PMEDWL0111\" family=\"Communication\">",
                   "\t\t\t<topologicalAddress value=\"\\\\" + std::to_string(module.rack) + "." +
                       std::to_string(module.slot) + "\"></topologicalAddress>",
                   "\t\t</partItem>"});
    }
    rack.push_back("\t\t<DTMNetwork name=\"Ethernet_1\">");
    std::vector<Module> dtmOrder = modules;
    if (dtmEntriesReversed) {
        dtmOrder.assign(modules.rbegin(), modules.rend());
    }
    for (const Module& module : dtmOrder) {
        const std::string identifier =
            module.identifier.empty()
                ? "C" + std::to_string(module.rack) + "_" + std::to_string(module.slot)
                : module.identifier;
        rack.push_back("\t\t\t<DTMDevice name=\"" + module.dtmName + "\" id=\"" + module.dtmId +
                       "\" ipAddress=\"" + module.ipAddress + "\" identifier=\"" + identifier +
                       "\" dtmType=\"M58B_XX_PMEDWL01\"></DTMDevice>");
    }
    rack.push_back("\t\t</DTMNetwork>");
    Lines types;
    Lines variables;
    for (const Module& module : modules) {
        // The device type Control Expert makes for the DTM, and the DTM's device variable.
        add(types, {"\t<DDTSource DDTName=\"T_" + module.dtmName +
                        "\" version=\"1.00\" "
                        "dateTime=\"dt#2021-09-08-10:00:00\">",
                    "\t\t<structure>",
                    "\t\t\t<variables name=\"Freshness\" typeName=\"BOOL\"></variables>",
                    "\t\t</structure>", "\t</DDTSource>"});
        add(variables,
            {"\t\t<variables name=\"" + module.dtmName + "\" typeName=\"T_" + module.dtmName +
                 "\">",
             "\t\t\t" + (module.deviceIdElement.empty() ? "<attribute name=\"DeviceId\" value=\"" +
                                                              module.dtmId + "\"></attribute>"
                                                        : module.deviceIdElement),
             "\t\t</variables>"});
    }
    // From the back, so that the places found above stay where they are.
    lines.insert(lines.begin() + blockEnd, variables.begin(), variables.end());
    lines.insert(lines.begin() + ioEnd + 1, types.begin(), types.end());
    lines.insert(lines.begin() + ioEnd, rack.begin(), rack.end());
}

std::vector<std::string> projectLines(const ProjectOptions& options) {
    Lines lines{"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
                "<FEFExchangeFile>",
                "\t<fileHeader company=\"Schneider Automation\" product=\"Unity Pro XL V13.0 - "
                "170914B\" dateTime=\"date_and_time#2021-9-8-10:0:0\" content=\"Project source "
                "file\" DTDVersion=\"41\"></fileHeader>",
                "\t<contentHeader name=\"Project\" version=\"0.0.001\" "
                "dateTime=\"date_and_time#2021-9-8-10:0:0\"></contentHeader>",
                "\t<IOConf>",
                "\t\t<partItem partNumber=\"BMX CPS 3500\" family=\"Power supply\">",
                "\t\t\t<topologicalAddress value=\"\\\\0.0\"></topologicalAddress>",
                "\t\t</partItem>",
                "\t</IOConf>"};
    Lines converted = premiumConvertedLines(options.modules, options.templateSet);
    if (options.multiLineDeviceVariables) {
        for (std::string& line : converted) {
            const std::size_t end = line.find("\"T_IBY_DIO\"></variables>");
            if (line.find("<variables name=\"IBY_DIO_d") != std::string::npos &&
                end != std::string::npos) {
                line.resize(end + 12);
                line += "\n\t\t\t<comment>Device of the Premium IBY100</comment>\n\t\t</variables>";
            }
        }
    }
    for (const std::string& line : converted) {
        std::size_t start = 0;
        for (std::size_t end; (end = line.find('\n', start)) != std::string::npos;
             start = end + 1) {
            lines.push_back(line.substr(start, end - start));
        }
        lines.push_back(line.substr(start));
    }
    lines.push_back("</FEFExchangeFile>");
    addControlExpertLines(lines, options.modules, options.dtmEntriesReversed);
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

int findLine(const std::vector<std::string>& lines, const std::string& text) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(text) != std::string::npos) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<Entry> otherEntries() {
    std::string binary;
    for (int i = 0; i < 3000; ++i) {
        binary.push_back(static_cast<char>((i * 7919 + 13) & 0xFF));
    }
    return {
        {"Project.dat", binary, true},
        {"DTMs/PMEDWL_A.dtm", "<DTM name=\"PMEDWL_A\" id=\"1\"/>\r\n", false},
        {"README.txt", "Exported by Control Expert\r\n", false},
    };
}

void writeZef(const std::filesystem::path& path, const std::string& projectText,
              const std::vector<Entry>& others) {
    std::vector<Entry> entries{{"unitpro.xef", projectText, false}};
    entries.insert(entries.end(), others.begin(), others.end());
    writeArchive(path, entries);
}

namespace {

std::string readProjectFile(zip_t* archive, zip_int64_t index) {
    std::string text;
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) {
        throw std::runtime_error("cannot read unitpro.xef");
    }
    char buffer[8192];
    for (zip_int64_t got; (got = zip_fread(file, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    zip_fclose(file);
    return text;
}

}  // namespace

std::vector<std::string> splitLines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

void migrateArchive(const std::filesystem::path& premiumConverted,
                    const std::filesystem::path& m580Archive, const std::vector<Module>& modules) {
    std::filesystem::copy_file(premiumConverted, m580Archive);
    int code = 0;
    zip_t* archive = zip_open(m580Archive.c_str(), 0, &code);
    if (archive == nullptr) {
        throw std::runtime_error("cannot open " + m580Archive.string());
    }
    const zip_int64_t index = zip_name_locate(archive, "unitpro.xef", 0);
    std::string text;
    try {
        if (index < 0) {
            throw std::runtime_error("no unitpro.xef in " + m580Archive.string());
        }
        Lines lines = splitLines(readProjectFile(archive, index));
        addControlExpertLines(lines, modules);
        text = joinLines(lines);
    } catch (...) {
        zip_discard(archive);
        throw;
    }
    zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
    if (source == nullptr ||
        zip_file_replace(archive, static_cast<zip_uint64_t>(index), source, 0) != 0) {
        zip_source_free(source);
        zip_discard(archive);
        throw std::runtime_error("cannot replace unitpro.xef in " + m580Archive.string());
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write " + m580Archive.string());
    }
}

void writeArchive(const std::filesystem::path& path, const std::vector<Entry>& entries) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr) {
        throw std::runtime_error("cannot create " + path.string());
    }
    for (const Entry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
        const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, 0);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + entry.name);
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace m580_test
