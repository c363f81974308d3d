#include "extractor/project_pass.h"

#include <iostream>
#include <system_error>

#include "extractor/loop/conversion_loop.h"
#include "extractor/passes/comm_call_census.h"
#include "extractor/passes/module_search.h"
#include "extractor/project/conversion_counters.h"
#include "extractor/project/line_files.h"
#include "extractor/project/line_text.h"
#include "extractor/project/work_folder.h"
#include "platform/ansi_path.h"
#include "platform/archive.h"

namespace extractor {

namespace fs = std::filesystem;

namespace {

constexpr const char* projectEntry = "unitpro.xef";

class ProjectPass {
  public:
    ProjectPass(const ProjectPaths& paths, const ConversionOptions& options,
                std::string& reportText)
        : paths_(paths),
          options_(options),
          report_(reportText),
          console_(options.console != nullptr ? *options.console : std::cout) {}

    PassOutcome run();

  private:
    bool fail(ConversionFailure failure) {
        outcome_.failure = std::move(failure);
        return false;
    }
    void trace(std::string_view text) {
        if (options_.debugLevel == 1) {
            console_ << text << '\n';
        }
    }
    fs::path work(std::string_view suffix) const {
        return folder_.path() / platform::PathFromAnsi(paths_.zeffileroot + std::string(suffix));
    }
    fs::path xefRead() const { return unpacked_ / projectEntry; }
    fs::path xefWrite() const { return folder_.path() / "unitpro_IBY.xef"; }
    std::string shown(const fs::path& path) const { return platform::AnsiFromPath(path); }

    void reportNames();
    bool unpack();
    bool openResults();
    bool searchModules();
    bool takeCensus();
    bool runConversionLoop();
    bool putRewrittenProjectInPlace();
    bool pack();
    bool writeSummary();
    bool placeOutputs();

    const ProjectPaths& paths_;
    const ConversionOptions& options_;
    std::string& report_;
    std::ostream& console_;
    PassOutcome outcome_;
    WorkFolder folder_;
    fs::path unpacked_;
    LineWriter results_;
    std::vector<ModuleAddress> modules_;
    CommCallCensus census_;
    ConversionCounters counters_;
    int moduleRack_ = 0;
    int moduleSlot_ = 0;
    fs::path createdArchive_;
};

PassOutcome ProjectPass::run() {
    report_ += "\r\n zeffilename = '" + paths_.zeffilename + "'";
    report_ += "\r\n zeffilepath = '" + paths_.zeffilepath + "'";
    report_ += "\r\n zeffileroot = '" + paths_.zeffileroot + "'";
    trace("zeffilename = '" + paths_.zeffilename + "'");
    trace("zeffilepath = '" + paths_.zeffilepath + "'");
    trace("zeffileroot = '" + paths_.zeffileroot + "'");
    createdArchive_ = paths_.beside("_IBY.zef");
    outcome_.createdArchive = paths_.zeffilename + "_IBY.zef";
    // Each step reports its own failure; the work folder goes with this object either way.
    if (unpack()) {
        reportNames();
        if (openResults() && searchModules() && takeCensus() && runConversionLoop() &&
            putRewrittenProjectInPlace() && pack() && writeSummary()) {
            placeOutputs();
        }
    }
    return std::move(outcome_);
}

void ProjectPass::reportNames() {
    const std::pair<const char*, std::string> names[] = {
        {"PCPWritefilename", paths_.besideText("_PCP.txt")},
        {"INvarfilename", paths_.besideText("_INvars.txt")},
        {"sortINvarfilename", paths_.besideText("_INvars_Sort.txt")},
        {"OUTvarfilename", paths_.besideText("_OUTvars.txt")},
        {"sortOUTvarfilename", paths_.besideText("_OUTvars_Sort.txt")},
        {"Resultsfilename", paths_.besideText("_Results.txt")},
        {"xefReadFilename", shown(xefRead())},
        {"xefWriteFilename", shown(xefWrite())},
    };
    for (const auto& [label, name] : names) {
        report_ += "\r\n " + std::string(label) + " = '" + name + "'";
        trace(std::string(label) + " = '" + name + "'");
    }
}

bool ProjectPass::unpack() {
    std::string error;
    if (!folder_.create(error)) {
        return fail({error, "ERROR"});
    }
    trace(" ----------------  powershell extract the .xef file  ---------------------");
    unpacked_ = folder_.path() / platform::PathFromAnsi(paths_.zeffileroot);
    const platform::ArchiveResult unpacked = platform::UnpackArchive(paths_.archive(), unpacked_);
    if (!unpacked.ok) {
        return fail({unpacked.error, "ERROR"});
    }
    return true;
}

bool ProjectPass::openResults() {
    if (!results_.open(work("_Results.txt"))) {
        return fail(
            openFailure(41, paths_.besideText("_Results.txt"), results_.errorNumber(), "OK"));
    }
    results_.write(" ");
    return true;
}

bool ProjectPass::searchModules() {
    trace(
        " ----------------  Make sure that there is at least one TSXIBY100 module in the "
        "configuration  ---------------------");
    ModuleSearch search;
    int errorNumber = 0;
    if (!forEachLine(
            xefRead(), [&](std::string_view line) { search.line(line); }, errorNumber)) {
        return fail(openFailure(1, shown(xefRead()), errorNumber, "ERROR"));
    }
    search.finish();
    if (!search.error().empty()) {
        return fail(
            {"ERROR: File '" + shown(xefRead()) + "': " + search.error(), "Missing IBY100"});
    }
    int count = 0;
    for (const ModuleAddress& module : search.modules()) {
        ++count;
        moduleRack_ = module.rack;
        moduleSlot_ = module.slot;
        results_.write(" Found a TSXIBY100 (" + decimal(count) +
                       ") at rack = " + decimal(module.rack) + "   slot = " + decimal(module.slot));
        trace(" --------------- Found a TSXIBY100 at rack = " + decimal(module.rack) +
              "   slot = " + decimal(module.slot));
    }
    if (search.moduleCount() == 0) {
        return fail({"ERROR: File '" + shown(xefRead()) +
                         "' does not contain at least one TSXIBY100 Module!",
                     "Missing IBY100"});
    }
    if (search.moduleCount() > maxModules) {
        return fail({"ERROR: File '" + shown(xefRead()) + "' contains " +
                         decimal(search.moduleCount()) +
                         " TSXIBY100 Modules; at most 2 can be converted!",
                     "Too many IBY100"});
    }
    modules_ = search.modules();
    return true;
}

bool ProjectPass::takeCensus() {
    trace(
        " ----------------  Find all the Section and DFB SEND_REQ, read_var, and write_var  "
        "---------------------");
    LineWriter censusFile;
    if (!censusFile.open(work("_PCP.txt"))) {
        return fail(
            openFailure(1, paths_.besideText("_PCP.txt"), censusFile.errorNumber(), "ERROR"));
    }
    CensusPass census(censusFile.sink());
    int errorNumber = 0;
    if (!forEachLine(
            xefRead(), [&](std::string_view line) { census.line(line); }, errorNumber)) {
        return fail(openFailure(1, shown(xefRead()), errorNumber, "ERROR"));
    }
    if (!censusFile.close()) {
        return fail(
            openFailure(1, paths_.besideText("_PCP.txt"), censusFile.errorNumber(), "ERROR"));
    }
    census_ = census.census();
    return true;
}

bool ProjectPass::runConversionLoop() {
    trace(" ----------------  Open the source and target files  ---------------------");
    LineWriter rewritten;
    if (!rewritten.open(xefWrite())) {
        return fail(openFailure(3, shown(xefWrite()), rewritten.errorNumber(), "OK"));
    }
    LoopSetup setup;
    setup.debugLevel = options_.debugLevel;
    setup.trace = &console_;
    ConversionLoop loop(setup, LoopOutputs{rewritten.sink(), results_.sink()});
    int errorNumber = 0;
    if (!forEachLine(
            xefRead(), [&](std::string_view line) { loop.line(line); }, errorNumber)) {
        return fail(openFailure(1, shown(xefRead()), errorNumber, "ERROR"));
    }
    loop.finish();
    if (loop.failure()) {
        return fail(*loop.failure());
    }
    if (!rewritten.close()) {
        return fail(openFailure(3, shown(xefWrite()), rewritten.errorNumber(), "OK"));
    }
    outcome_.furtherModule = loop.furtherModule();
    return true;
}

bool ProjectPass::putRewrittenProjectInPlace() {
    std::error_code failed;
    fs::rename(xefWrite(), xefRead(), failed);
    if (failed) {
        return fail({"Can't replace " + shown(xefRead()) + ": " + failed.message(), "ERROR"});
    }
    return true;
}

bool ProjectPass::pack() {
    trace(" ----------------  powershell compress the new .zef file  ---------------------");
    const platform::ArchiveResult packed =
        platform::RepackArchive(paths_.archive(), unpacked_, {projectEntry}, createdArchive_);
    if (!packed.ok) {
        return fail({packed.error, "ERROR"});
    }
    return true;
}

bool ProjectPass::writeSummary() {
    for (const std::string& line :
         summaryLines(counters_, outcome_.createdArchive, moduleRack_, moduleSlot_)) {
        results_.write(line);
    }
    if (!results_.close()) {
        return fail(
            openFailure(41, paths_.besideText("_Results.txt"), results_.errorNumber(), "OK"));
    }
    return true;
}

bool ProjectPass::placeOutputs() {
    const fs::path intermediate = paths_.beside("_IBY_IntermediateFiles");
    report_ += "\r\n Intermediate files folder = '" + shown(intermediate) + "'";
    std::error_code failed;
    fs::create_directories(intermediate, failed);
    if (failed) {
        return fail(
            {"Can't create folder " + shown(intermediate) + ": " + failed.message(), "ERROR"});
    }
    std::string error;
    if (!placeFile(xefRead(), intermediate / projectEntry, error) ||
        !placeFile(work("_PCP.txt"), paths_.beside("_PCP.txt"), error)) {
        return fail({error, "ERROR"});
    }
    for (const char* suffix : intermediateSuffixes) {
        const fs::path file = work(suffix);
        if (fs::exists(file) && !placeFile(file, intermediate / file.filename(), error)) {
            return fail({error, "ERROR"});
        }
    }
    outcome_.resultsFile = intermediate / work("_Results.txt").filename();
    outcome_.resultsFileText = shown(outcome_.resultsFile);
    return true;
}

}  // namespace

PassOutcome convertArchive(const ProjectPaths& paths, const ConversionOptions& options,
                           std::string& reportText) {
    return ProjectPass(paths, options, reportText).run();
}

}  // namespace extractor
