#pragma once

// What the conversion writes into the project for the converted module: its variables at the
// end of the data block, the instances of the replacement communication blocks, the section
// descriptions of the MAST task and the IN, LOAD and OUT sections.

#include <string>
#include <string_view>
#include <vector>

#include "extractor/loop/module_context.h"
#include "extractor/passes/comm_call_census.h"
#include "extractor/project/line_files.h"

namespace extractor {

// `\t\t<variables name="<name>" typeName="<type>"></variables>`.
std::string variableLine(std::string_view name, std::string_view type);

// `\t\t\t\t<sectionDesc name="<name>"<rest> SectionOrder="<order>"<after>`; `after` is the
// rest of the original line behind its SectionOrder value ("></sectionDesc>" when new).
std::string sectionDescLine(std::string_view name, std::string_view rest, int order,
                            std::string_view after = "></sectionDesc>");

// The six per-module variables, in declaration order.
void writeModuleVariables(const LineSink& out, const ModuleContext& module);

// The instances of the program sections' replacement blocks: for each call the census found,
// by kind, numbered over the whole project after those the project declares already.
void writeSectionInstances(const LineSink& out, const CommCallCensus& census);

// The instances of one DFB's replacement blocks, numbered in the DFB after those it declares.
void writeDfbInstances(const LineSink& out, const CensusDfb& dfb);

// "\t<program>" and the identProgram line of a MAST section.
void writeSectionHead(const LineSink& out, std::string_view name);

// The IN section with the sorted input assignments; the OUT section with the output ones.
void writeInSection(const LineSink& out, const ModuleContext& module,
                    const std::vector<std::string>& sortedInputs);
void writeOutSection(const LineSink& out, const ModuleContext& module,
                     const std::vector<std::string>& sortedOutputs);

// One line of the decoder's configuration program with the decoder's module names replaced by
// those of the converted module.
std::string loadSectionLine(std::string line, const ModuleContext& module);

}  // namespace extractor
