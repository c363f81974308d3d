#include "extractor/loop/module_sections.h"

#include <algorithm>

#include "toolshell/replace_all.h"

namespace extractor {

std::string variableLine(std::string_view name, std::string_view type) {
    std::string line = "\t\t<variables name=\"";
    line += name;
    line += "\" typeName=\"";
    line += type;
    line += "\"></variables>";
    return line;
}

std::string sectionDescLine(std::string_view name, std::string_view rest, int order,
                            std::string_view after) {
    std::string line = "\t\t\t\t<sectionDesc name=\"";
    line += name;
    line += '"';
    line += rest;
    line += " SectionOrder=\"" + std::to_string(order) + "\"";
    line += after;
    return line;
}

void writeModuleVariables(const LineSink& out, const ModuleContext& module) {
    const std::pair<const char*, const char*> variables[] = {
        {"IBY_DIO", "T_IBY_DIO"},
        {"IBY_Manage", "IBY_Manage"},
        {"IBY_Layout_Xfer", "IBY_Layout_Xfer"},
        {"IBY_Layout_CRC", "IBY_Layout_CRC"},
        {"IBY_IODDT_IN", "IBY_IODDT_IN"},
        {"IBY_IODDT_OUT", "IBY_IODDT_OUT"},
    };
    for (const auto& [prefix, type] : variables) {
        out(variableLine(module.name(prefix), type));
    }
}

namespace {

void writeInstance(const LineSink& out, InstanceKind kind, int number) {
    const std::string type(instanceTypeName(kind));
    out(variableLine(type + "_" + std::to_string(number), type));
}

}  // namespace

void writeSectionInstances(const LineSink& out, const CommCallCensus& census) {
    std::size_t most = 0;
    for (const std::vector<int>& calls : census.sectionCalls) {
        most = std::max(most, calls.size());
    }
    for (std::size_t n = 1; n <= most; ++n) {
        for (InstanceKind kind : allInstanceKinds) {
            if (n <= census.sectionCalls[kindIndex(kind)].size()) {
                writeInstance(out, kind,
                              census.sectionDeclared[kindIndex(kind)] + static_cast<int>(n));
            }
        }
    }
}

void writeDfbInstances(const LineSink& out, const CensusDfb& dfb) {
    for (InstanceKind kind : allInstanceKinds) {
        for (int n = 1; n <= dfb.calls[kindIndex(kind)]; ++n) {
            writeInstance(out, kind, dfb.declared[kindIndex(kind)] + n);
        }
    }
}

void writeSectionHead(const LineSink& out, std::string_view name) {
    out("\t<program>");
    out("\t\t<identProgram name=\"" + std::string(name) +
        "\" type=\"section\" task=\"MAST\"></identProgram>");
}

namespace {

std::string ioddtCall(const ModuleContext& module, const char* block) {
    return module.name(block) + " (" + module.name("IBY_DIO") + ", " + module.name("IBY_Manage") +
           ");";
}

void writeGuardedAssignments(const LineSink& out, const ModuleContext& module,
                             const std::vector<std::string>& assignments, const char* noneComment) {
    if (assignments.empty()) {
        out(noneComment);
        return;
    }
    out("IF " + module.name("IBY_DIO") + ".Freshness THEN");
    for (const std::string& assignment : assignments) {
        out("\t" + assignment);
    }
    out("END_IF;");
}

}  // namespace

void writeInSection(const LineSink& out, const ModuleContext& module,
                    const std::vector<std::string>& sortedInputs) {
    writeSectionHead(out, module.name("IBY_IN"));
    out("<STSource>(* Copy data to variables that were topologically located in the Premium IBY "
        "rack " +
        std::to_string(module.rack) + " slot " + std::to_string(module.slot) + ". *)");
    writeGuardedAssignments(out, module, sortedInputs,
                            "(* There are no topological IBY INPUT variables. *)");
    out("");
    out(ioddtCall(module, "IBY_IODDT_IN"));
    out("");
    out("</STSource>");
    out("\t</program>");
}

void writeOutSection(const LineSink& out, const ModuleContext& module,
                     const std::vector<std::string>& sortedOutputs) {
    writeSectionHead(out, module.name("IBY_OUT"));
    out("<STSource>(* Copy data to variables that were topologically located in the original "
        "Premium IBY rack " +
        std::to_string(module.rack) + " slot " + std::to_string(module.slot) + ". *)");
    out("");
    out(ioddtCall(module, "IBY_IODDT_OUT"));
    out("");
    writeGuardedAssignments(out, module, sortedOutputs,
                            "(* There are no topological IBY OUTPUT variables. *)");
    out("");
    out("</STSource>");
    out("\t</program>");
}

std::string loadSectionLine(std::string line, const ModuleContext& module) {
    toolshell::replaceAll(line, "IBS_Manage_d0_s0", module.name("IBY_Manage"));
    toolshell::replaceAll(line, "IBS_Layout_Xfer_d0_s0", module.name("IBY_Layout_Xfer"));
    toolshell::replaceAll(line, "IBS_Layout_CRC_d0_s0", module.name("IBY_Layout_CRC"));
    toolshell::replaceAll(line, "IBS_d0_s0", module.name("IBY_DIO"));
    toolshell::replaceAll(line, "PMEDWL_RR_SS", module.name("IBY_DIO"));
    return line;
}

}  // namespace extractor
