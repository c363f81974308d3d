#include "extractor/project/conversion_counters.h"

#include "extractor/project/line_text.h"

namespace extractor {

namespace {

std::string replaced(int count, const char* what) {
    return "Replaced " + decimal(count) + " " + what;
}

std::string converted(int count, const char* what) {
    return "Converted " + decimal(count) + " " + what;
}

// Four lines per block: static in sections, dynamic in sections, static in DFBs, dynamic in
// DFBs. The first line of READ_VAR and WRITE_VAR names the block alone.
void blockLines(std::vector<std::string>& lines, const ConversionCounters& counters,
                CommBlock block, const char* firstLineHead, const char* firstLineTail) {
    const std::string name(commBlockName(block));
    const int staticKind = kindIndex(instanceKindOf(block, false));
    const int dynamicKind = kindIndex(instanceKindOf(block, true));
    lines.push_back("Replaced " + decimal(counters.inSections[staticKind]) + " " + firstLineHead +
                    name + firstLineTail);
    lines.push_back("Replaced " + decimal(counters.inSections[dynamicKind]) + " Dynamic " + name +
                    " function blocks in main sections.");
    lines.push_back("Replaced " + decimal(counters.inDfbs[staticKind]) + " Static " + name +
                    " function blocks in DFBs.");
    lines.push_back("Replaced " + decimal(counters.inDfbs[dynamicKind]) + " Dynamic " + name +
                    " function blocks in DFBs.");
}

}  // namespace

std::vector<std::string> summaryLines(const ConversionCounters& counters,
                                      const std::string& createdArchive, int rack, int slot) {
    std::vector<std::string> lines = {
        " ",
        "Created: " + createdArchive,
        " ",
        "---- IBY100 in Rack " + decimal(rack) + " Slot " + decimal(slot) + " ----- ",
        converted(counters.inputVariables, "Topological INPUT variables to unlocated variables."),
        converted(counters.outputVariables, "Topological OUTPUT variables to unlocated variables."),
        converted(counters.channelVariables, "Topological CHANNEL variables."),
        converted(counters.ioddtReferences, "Topological CHANNEL and MODULE IODDT variables."),
        replaced(counters.directReferences, "direct Topological References."),
        "",
        replaced(counters.readStsModule, "READ_STS Module function blocks."),
        replaced(counters.readStsChannel, "READ_STS Channel function blocks."),
        "",
    };
    blockLines(lines, counters, CommBlock::SendReq, "Static ",
               " function blocks in main sections.");
    lines.push_back("");
    blockLines(lines, counters, CommBlock::ReadVar, "", " function blocks.");
    lines.push_back("");
    blockLines(lines, counters, CommBlock::WriteVar, "", " function blocks.");
    lines.push_back(" ");
    return lines;
}

}  // namespace extractor
