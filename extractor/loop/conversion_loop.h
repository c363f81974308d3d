#pragma once

// The conversion loop: one pass from the project file to the rewritten project file. It
// converts the first TSXIBY100 module of the configuration and leaves every later one in place
// for the second pass. Each line goes through the loop's steps in order:
//   module choice, module end, template set and data block, end of the data block, MAST task,
//   end of the task, end of the logic configuration (IN and LOAD sections), DFB area, DFB and
//   communication-call rewrite, programs (OUT section after the last one);
// then the state decides who writes it: the declaration pass, the code pass, the module
// configuration reader, the MAST task rewrite, or the plain copy.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "extractor/loop/assignment_sort.h"
#include "extractor/loop/conversion_state.h"
#include "extractor/loop/module_config_reader.h"
#include "extractor/loop/module_context.h"
#include "extractor/passes/comm_call_census.h"
#include "extractor/passes/defined_names.h"
#include "extractor/passes/derived_types.h"
#include "extractor/project/conversion_counters.h"
#include "extractor/project/conversion_failure.h"
#include "extractor/project/line_files.h"
#include "extractor/project/topo_address.h"
#include "extractor/rewrite/declaration_rewrite.h"
#include "extractor/rewrite/fbd_block_rewrite.h"
#include "extractor/rewrite/topological_references.h"

namespace extractor {

struct LoopOutputs {
    LineSink project;       // the rewritten project file
    LineSink results;       // warnings for the results file
    LineSink inputList;     // the input assignment list, as collected
    LineSink outputList;    // the output assignment list
    LineSink sortedInputs;  // the sorted lists, as the sections carry them
    LineSink sortedOutputs;
};

// What the loop needs from outside the project file: the module's service file decoded, and
// the configuration program the decoder wrote.
class LoopServices {
  public:
    virtual ~LoopServices() = default;
    virtual std::optional<ConversionFailure> decodeServiceFile(const ServiceFile& file,
                                                               const ModuleContext& module) = 0;
    // Each line of the decoder's "_init.xst".
    virtual std::optional<ConversionFailure> readConfigurationProgram(const LineSink& line) = 0;
};

struct LoopSetup {
    int debugLevel = 4;
    std::ostream* trace = nullptr;    // trace lines when debugLevel is 1
    std::ostream* console = nullptr;  // the sort's placement lines
    bool ignoreStrings = false;       // the Ignore setting is "1"
    const CommCallCensus* census = nullptr;
    const DerivedTypeCatalogue* types = nullptr;
    std::vector<ModuleAddress> modules;  // the module table of the search
    LoopServices* services = nullptr;
};

class ConversionLoop {
  public:
    ConversionLoop(LoopSetup setup, LoopOutputs outputs);

    void line(std::string_view text);
    // After the last line: what the project lacked, if anything.
    void finish();

    const std::optional<ConversionFailure>& failure() const { return failure_; }
    bool furtherModule() const { return state_.furtherModule; }
    bool moduleConverted() const { return state_.moduleConverted; }
    const ModuleContext& module() const { return module_; }
    // The generated types and blocks the project defines itself (only the others were written),
    // unless it defines them all.
    const std::vector<std::string>& definedGeneratedNames() const { return clashes_; }
    const ConversionCounters& counters() const { return counters_; }

  private:
    void fail(std::string text, std::string caption = "ERROR");
    void trace(std::string_view text);
    void write(std::string_view text) { out_.project(text); }

    void chooseModule(std::string_view header, std::string_view next);
    void endModuleBlock();
    void startDataBlock();
    void endDataBlock();
    void startMastTask(std::string_view text);
    void endLogicConf(std::string_view text);
    // False when the line was taken by a block-diagram block being read.
    bool dfbAndCallSteps(std::string& text);
    void rewriteCode(std::string& text);
    CommRewriteContext commContext();
    void endPrograms();
    // The list sorted for its section, also written to `sorted`; warnings to the results.
    std::vector<std::string> sortedList(const std::vector<std::string>& list, AssignmentList kind,
                                        const LineSink& sorted);
    void handleState(std::string_view text);
    void readModuleConfiguration(std::string_view text);
    void rewriteSectionDesc(std::string_view text);
    void decodeServiceFile();

    LoopSetup setup_;
    LoopOutputs out_;
    ConversionState state_;
    ModuleContext module_;
    ModuleConfigReader configReader_;
    ConversionCounters counters_;
    std::optional<std::string> pendingModuleHeader_;
    bool pendingProgramEnd_ = false;
    std::optional<ConversionFailure> failure_;

    DefinedTypeNames definedNames_;     // the types and blocks the project defines so far
    std::vector<std::string> clashes_;  // generated names the project defines itself
    bool templatesWritten_ = false;
    bool dataBlockSeen_ = false;
    bool moduleVariablesWritten_ = false;
    bool mastTaskSeen_ = false;
    bool logicConfEnded_ = false;
    bool outSectionWritten_ = false;
    bool serviceFileDecoded_ = false;
    int sectionOrder_ = 0;

    bool dfbArea_ = false;
    int language_ = 0;  // 1 structured text, 2 ladder, 3 block diagram, 0 none
    std::string currentName_;
    int currentDfb_ = 0;
    bool dfbInstancesWritten_ = false;

    std::vector<std::string> inputAssignments_;
    std::vector<std::string> outputAssignments_;
    DeclarationPass declarations_;
    std::optional<TopologicalReferences> references_;
    TopologicalReferences::Counts referenceCounts_;
    KindCounts sectionNumbers_{};
    KindCounts dfbNumbers_{};
    FbdBlockRewrite fbd_;
};

}  // namespace extractor
