#pragma once

// The census of communication calls: before the project is rewritten, one pass finds every
// SEND_REQ, READ_VAR and WRITE_VAR call, tells a static address (an ADDR(...) on the line)
// from a dynamic one, and notes the program section or DFB it stands in. The census file lists
// each call for the user; the tables tell the conversion loop which instances of the
// replacement blocks to declare. The tables grow with the project.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extractor/project/comm_instances.h"
#include "extractor/project/line_files.h"

namespace extractor {

struct CensusDfb {
    std::string name;
    KindCounts calls{};     // calls of each kind inside this DFB
    KindCounts declared{};  // highest replacement instance number it declares already
};

struct CommCallCensus {
    // Entry 0 stands for the lines before the first section (no name).
    std::vector<std::string> sectionNames{std::string()};
    std::vector<CensusDfb> dfbs;  // DFB number k is dfbs[k - 1]
    // Per kind, one entry per call in program sections: the number of the section holding it.
    std::array<std::vector<int>, instanceKindCount> sectionCalls;
    // Highest replacement instance number per kind declared outside the DFBs already (a
    // project converted before for another module): new instances are numbered after it.
    KindCounts sectionDeclared{};

    int sectionCount() const { return static_cast<int>(sectionNames.size()) - 1; }
    // The number of the DFB named `name` (the last of that name), or 0.
    int dfbNumber(std::string_view name) const;
};

class CensusPass {
  public:
    // Each census line goes to `censusFile`.
    explicit CensusPass(LineSink censusFile) : censusFile_(std::move(censusFile)) {}

    void line(std::string_view text);
    const CommCallCensus& census() const { return census_; }

  private:
    void countCall(InstanceKind kind);
    void noteDeclaredInstance(std::string_view text);

    LineSink censusFile_;
    CommCallCensus census_;
    long lineNumber_ = 0;
    bool inDfb_ = false;
    bool insideFbSource_ = false;          // between "<FBSource" and "</FBSource"
    bool blockDiagram_ = false;            // inside a block-diagram source
    std::optional<CommBlock> typedBlock_;  // inside a block named by its type alone
};

}  // namespace extractor
