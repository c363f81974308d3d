#include "project_builder.h"

#include <zip.h>

#include <cstdio>

namespace fennick_test {

namespace {

std::string hexValue(uint16_t word) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", word);
    return text;
}

// A configuration value line: the value in hexadecimal after "0x".
std::string valueLine(uint16_t word) {
    return "\t\t\t\t\t<cell value=\"0x" + hexValue(word) + "\"></cell>";
}

std::string addressOf(const ModuleSpec& module) {
    if (!module.topoAddress.empty()) {
        return module.topoAddress;
    }
    return "\\1\\" + std::to_string(module.rack) + "." + std::to_string(module.slot);
}

void moduleLines(std::vector<std::string>& lines, const ModuleSpec& module) {
    lines.push_back("\t\t\t<moduleATS moduleName=\"IBY100\">");
    lines.push_back(
        "\t\t\t\t<partItem partNumber=\"TSXIBY100\" productVersion=\"1.2\"></partItem>");
    lines.push_back("\t\t\t\t<equipInfo topoAddress=\"" + addressOf(module) +
                    "\" familyName=\"BUS\"></equipInfo>");
    lines.push_back("\t\t\t\t<paramKW>");
    lines.push_back(valueLine(module.kw0));
    lines.push_back(valueLine(module.kw1));
    lines.push_back(valueLine(module.kw2));
    lines.push_back("\t\t\t\t</paramKW>");
    lines.push_back("\t\t\t\t<paramKPW>");
    lines.push_back(valueLine(static_cast<uint16_t>(module.svcName.size())));
    for (unsigned char c : module.svcName) {
        lines.push_back(valueLine(c));
    }
    const std::vector<uint16_t> words = module.serviceWords.value_or(sampleServiceWords());
    lines.push_back(valueLine(static_cast<uint16_t>(words.size())));
    for (uint16_t word : words) {
        lines.push_back(valueLine(word));
    }
    lines.push_back("\t\t\t\t</paramKPW>");
    lines.push_back("\t\t\t</moduleATS>");
}

void dfbLines(std::vector<std::string>& lines, const DfbSpec& dfb) {
    lines.push_back("\t<FBSource nameOfFBType=\"" + dfb.name +
                    "\" version=\"0.01\" dateTime=\"dt#2021-09-07-10:00:00\">");
    lines.push_back("\t\t<inputParameters>");
    lines.push_back("\t\t\t<variables name=\"Start\" typeName=\"BOOL\">");
    lines.push_back("\t\t\t\t<attribute name=\"PositionPin\" value=\"1\"></attribute>");
    lines.push_back("\t\t\t</variables>");
    lines.push_back("\t\t</inputParameters>");
    if (!dfb.privateVariables.empty()) {
        lines.push_back("\t\t<privateLocalVariables>");
        lines.insert(lines.end(), dfb.privateVariables.begin(), dfb.privateVariables.end());
        lines.push_back("\t\t</privateLocalVariables>");
    }
    lines.push_back("\t\t<FBProgram name=\"Logic\">");
    lines.push_back("\t\t\t<STSource>(* " + dfb.name + " *)");
    lines.insert(lines.end(), dfb.code.begin(), dfb.code.end());
    lines.push_back("</STSource>");
    lines.push_back("\t\t</FBProgram>");
    lines.push_back("\t</FBSource>");
}

void sectionLines(std::vector<std::string>& lines, const SectionSpec& section) {
    lines.push_back("\t<program>");
    lines.push_back("\t\t<identProgram name=\"" + section.name +
                    "\" type=\"section\" task=\"MAST\"></identProgram>");
    const std::string element = section.language + "Source";
    std::vector<std::string> body = section.lines;
    if (section.language == "ST") {
        const std::string first = body.empty() ? std::string() : body.front();
        lines.push_back("\t\t<STSource>" + first);
        lines.insert(lines.end(), body.begin() + (body.empty() ? 0 : 1), body.end());
        lines.push_back("</STSource>");
    } else {
        lines.push_back("\t\t<" + element + ">");
        lines.insert(lines.end(), body.begin(), body.end());
        lines.push_back("\t\t</" + element + ">");
    }
    lines.push_back("\t</program>");
}

}  // namespace

ModuleSpec moduleAt(int rack, int slot) {
    ModuleSpec module;
    module.rack = rack;
    module.slot = slot;
    return module;
}

std::vector<uint16_t> sampleServiceWords() {
    return {0x0307, 0x0007, 0x0003, 0x0001, 0x0002, 0x0101,
            0x0202, 0x0102, 0x0101, 0x0701, 0x0001, 0x0005};
}

ProjectSpec sampleProject() {
    ProjectSpec project;
    project.dataTypes = {
        "\t<DDTSource DDTName=\"T_Level\" version=\"0.01\" dateTime=\"dt#2021-09-07-10:00:00\">",
        "\t\t<structure>",
        "\t\t\t<variables name=\"Raw\" typeName=\"WORD\"></variables>",
        "\t\t</structure>",
        "\t</DDTSource>",
    };
    project.dfbs = {DfbSpec{
        "Pump_Ctrl",
        {"\t\t\t<variables name=\"Busy\" typeName=\"BOOL\"></variables>"},
        {"IF Start THEN", "  SEND_REQ(ADDR('0.3.0.5'), 16#31, Emis, Gest, Recp);", "END_IF;"},
    }};
    project.declarations = {
        "\t\t<variables name=\"Speed\" typeName=\"WORD\" topologicalAddress=\"%IW0.3.0.5\">"
        "</variables>",
        "\t\t<variables name=\"Valve\" typeName=\"INT\" topologicalAddress=\"%QW0.3.0.2\">"
        "</variables>",
        "\t\t<variables name=\"Running\" typeName=\"BOOL\"></variables>",
    };
    project.sections = {
        SectionSpec{"Main",
                    "ST",
                    {"(* main section *)", "IF %IW0.3.0.7 &gt; 3 THEN Running := TRUE; END_IF;",
                     "SEND_REQ(ADDR('0.3.0.SYS'), 16#31, Emis, Gest, Recp);",
                     "READ_VAR(ADDR('0.3.0.7'), 'PMS', 3, 1, Gest, Tab);",
                     "WRITE_VAR(AdrVar, 'PMS', 3, 1, Data, Gest);"}},
        SectionSpec{
            "Rungs",
            "LD",
            {"\t\t\t<FFBBlock instanceName=\"FBI_1\" typeName=\"SEND_REQ\">", "\t\t\t</FFBBlock>"}},
    };
    return project;
}

std::vector<std::string> projectLines(const ProjectSpec& project) {
    std::vector<std::string> lines = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
        "<FEFExchangeFile>",
        "\t<fileHeader company=\"Calvento R&amp;D\" product=\"Control Expert\" "
        "dateTime=\"date_and_time#2021-9-7-10:0:0\" content=\"Project file\" "
        "DTDVersion=\"41\"></fileHeader>",
        "\t<contentHeader name=\"Line\" version=\"0.0.001\"></contentHeader>",
        "\t<IOConf>",
        "\t\t<configuration>",
        "\t\t\t<moduleATS moduleName=\"DEY16\">",
        "\t\t\t\t<partItem partNumber=\"TSXDEY16D2\" productVersion=\"1.0\"></partItem>",
        "\t\t\t\t<equipInfo topoAddress=\"\\1\\0.1\" familyName=\"DIS\"></equipInfo>",
        "\t\t\t</moduleATS>",
    };
    for (const ModuleSpec& module : project.modules) {
        moduleLines(lines, module);
    }
    lines.push_back("\t\t</configuration>");
    lines.push_back("\t</IOConf>");
    lines.insert(lines.end(), project.dataTypes.begin(), project.dataTypes.end());
    for (const DfbSpec& dfb : project.dfbs) {
        dfbLines(lines, dfb);
    }
    for (int block = 0; block < project.dataBlocks; ++block) {
        lines.push_back("\t<dataBlock>");
        if (block == 0) {
            lines.insert(lines.end(), project.declarations.begin(), project.declarations.end());
        }
        lines.push_back("\t</dataBlock>");
    }
    if (project.logicConf) {
        lines.push_back("\t<logicConf>");
    }
    {
        lines.push_back("\t\t<resource resName=\"Premium\"></resource>");
        if (project.mastTask) {
            lines.push_back("\t\t<taskDesc task=\"MAST\" cycleType=\"cyclic\" period=\"20\">");
            int order = 0;
            for (const std::string& section : project.mastSections) {
                lines.push_back("\t\t\t\t<sectionDesc name=\"" + section + "\" SectionOrder=\"" +
                                std::to_string(++order) + "\"></sectionDesc>");
            }
            lines.push_back("\t\t</taskDesc>");
        }
    }
    if (project.logicConf) {
        lines.push_back("\t</logicConf>");
    }
    for (const SectionSpec& section : project.sections) {
        sectionLines(lines, section);
    }
    lines.push_back("</FEFExchangeFile>");
    return lines;
}

std::string crlfText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::map<std::string, std::string> sampleExtraEntries() {
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary.push_back(static_cast<char>((i * 37 + i / 7) & 0xFF));
    }
    return {{"Extra/AppData.bin", binary},
            {"DTM/catalog.xml", "<?xml version=\"1.0\"?>\r\n<catalog></catalog>\r\n"}};
}

bool writeArchive(const std::filesystem::path& path,
                  const std::map<std::string, std::string>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        return false;
    }
    for (const auto& [name, data] : entries) {
        zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
        if (source == nullptr ||
            zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

bool writeProjectArchive(const std::filesystem::path& path, const ProjectSpec& project) {
    std::map<std::string, std::string> entries = sampleExtraEntries();
    entries["unitpro.xef"] = crlfText(projectLines(project));
    return writeArchive(path, entries);
}

namespace {

std::string readEntry(zip_t* archive, zip_uint64_t index, zip_flags_t flags) {
    std::string data;
    zip_file_t* file = zip_fopen_index(archive, index, flags);
    if (file == nullptr) {
        return data;
    }
    char buffer[8192];
    zip_int64_t got = 0;
    while ((got = zip_fread(file, buffer, sizeof buffer)) > 0) {
        data.append(buffer, static_cast<std::size_t>(got));
    }
    zip_fclose(file);
    return data;
}

}  // namespace

std::map<std::string, ArchiveEntry> readArchive(const std::filesystem::path& path) {
    std::map<std::string, ArchiveEntry> entries;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr) {
        return entries;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
            continue;
        }
        ArchiveEntry entry;
        entry.crc = stat.crc;
        entry.compressedSize = stat.comp_size;
        entry.method = stat.comp_method;
        entry.data = readEntry(archive, static_cast<zip_uint64_t>(i), 0);
        entry.rawBytes = readEntry(archive, static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
        entries[stat.name] = entry;
    }
    zip_discard(archive);
    return entries;
}

}  // namespace fennick_test
