#include "extractor/project_pass.h"

#include <cctype>
#include <iostream>
#include <random>
#include <system_error>

#include "extractor/loop/conversion_loop.h"
#include "extractor/passes/comm_call_census.h"
#include "extractor/passes/derived_types.h"
#include "extractor/passes/module_search.h"
#include "extractor/project/conversion_counters.h"
#include "extractor/project/line_files.h"
#include "extractor/project/line_text.h"
#include "extractor/project/module_references.h"
#include "extractor/project/output_placement.h"
#include "platform/ansi_path.h"
#include "platform/archive.h"
#include "svc/svc_decoder.h"
#include "toolshell/work_folder.h"

namespace extractor {

namespace fs = std::filesystem;

namespace {

constexpr const char* projectEntry = "unitpro.xef";

// The module's service file written under its stored name (reduced to a plain file name),
// copied to "<root>.svc" and decoded there; the decoder's configuration program read back.
class PassServices : public LoopServices {
  public:
    PassServices(const std::filesystem::path& folder, const std::string& root,
                 const ConversionOptions& options, std::ostream& console, LineSink results)
        : folder_(folder),
          root_(root),
          options_(options),
          console_(console),
          results_(std::move(results)) {}

    std::optional<ConversionFailure> decodeServiceFile(const ServiceFile& file,
                                                       const ModuleContext& module) override;
    std::optional<ConversionFailure> readConfigurationProgram(const LineSink& line) override;

    // The service file under its own name, once written.
    const fs::path& serviceFile() const { return serviceFile_; }

  private:
    fs::path rootPath() const { return folder_ / platform::PathFromAnsi(root_); }
    void trace(std::string_view text) {
        if (options_.debugLevel == 1) {
            console_ << text << '\n';
        }
    }

    const fs::path folder_;
    const std::string root_;
    const ConversionOptions& options_;
    std::ostream& console_;
    LineSink results_;
    fs::path serviceFile_;
};

std::optional<ConversionFailure> PassServices::decodeServiceFile(const ServiceFile& file,
                                                                 const ModuleContext& module) {
    const std::string name = plainServiceFileName(file.storedName);
    if (name.empty()) {
        std::string shown;
        for (unsigned char c : file.storedName) {
            shown += c < 0x20 ? '?' : static_cast<char>(c);
        }
        return ConversionFailure{"ERROR: The service file name of the TSXIBY100 module, '" + shown +
                                     "', is not a plain file name; nothing was converted.",
                                 "ERROR"};
    }
    trace("svcWriteFilename = '" + name + "'");
    // A folder of its own: whatever the stored name, it never meets a file of the conversion.
    const fs::path own = folder_ / "service";
    std::error_code made;
    fs::create_directories(own, made);
    serviceFile_ = own / platform::PathFromAnsi(name);
    LineWriter svc;
    if (!svc.open(serviceFile_)) {
        return openFailure(2, name, svc.errorNumber(), "OK");
    }
    for (const std::string& line : serviceFileLines(file.words)) {
        svc.write(line);
    }
    if (!svc.close()) {
        return openFailure(2, name, svc.errorNumber(), "OK");
    }
    fs::path svcCopy = rootPath();
    svcCopy += ".svc";
    std::error_code failed;
    if (svcCopy != serviceFile_) {
        fs::copy_file(serviceFile_, svcCopy, fs::copy_options::overwrite_existing, failed);
    }
    if (failed) {
        return ConversionFailure{
            "Can't copy " + name + " to " + root_ + ".svc: " + failed.message(), "ERROR"};
    }
    svc::SvcDecodeOptions decode;
    decode.module = svc::SvcModuleContext{module.rack, module.slot};
    decode.pcpMarkText = options_.pcpMarkText;
    decode.console = &console_;
    const svc::SvcDecodeResult decoded = svc::decodeSvcFile(rootPath(), decode);
    for (const std::string& warning : decoded.warnings) {
        results_("  WARNING!!!!  " + warning);
    }
    if (!decoded.ok) {
        return ConversionFailure{decoded.errorText, "OK"};
    }
    return std::nullopt;
}

std::optional<ConversionFailure> PassServices::readConfigurationProgram(const LineSink& line) {
    fs::path program = rootPath();
    program += "_init.xst";
    int errorNumber = 0;
    if (!forEachLine(program, line, errorNumber)) {
        return openFailure(45, root_ + "_init.xst", errorNumber, "OK");
    }
    return std::nullopt;
}

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
        // Whichever step failed, the user reads the names of the archive and its entries.
        failure.text = replaceWorkFolder(std::move(failure.text)) + fullDiskNote();
        outcome_.failure = std::move(failure);
        return false;
    }
    // A failed write on a full disk says so, naming the folder, whatever the system called the
    // failure ("Input/output error", say).
    std::string fullDiskNote() const;
    void trace(std::string_view text) {
        if (options_.debugLevel == 1) {
            console_ << text << '\n';
        }
    }
    fs::path work(std::string_view suffix) const {
        return folder_.path() / platform::PathFromAnsi(paths_.zeffileroot + std::string(suffix));
    }
    fs::path xefRead() const { return unpacked_ / projectEntry; }
    bool takenInIntermediateFolder(const fs::path& name) const;
    fs::path xefWrite() const { return folder_.path() / "unitpro_IBY.xef"; }
    // The project file as the user knows it: an entry of the archive. The work folder's random
    // name would tell the user nothing, and is gone when the message is read.
    std::string xefReadText() const { return std::string(projectEntry) + " of " + paths_.fileName; }
    // A file the conversion keeps in the temporary folder while it runs.
    std::string temporaryText(std::string_view name) const {
        return std::string(name) + " in the temporary folder " + shown(temporaryFolder());
    }
    std::filesystem::path temporaryFolder() const { return folder_.path().parent_path(); }
    // Where the intermediate files are once the conversion is done.
    std::filesystem::path intermediateFolder() const {
        return paths_.beside("_IBY_IntermediateFiles");
    }
    std::string intermediateText(std::string_view suffix) const {
        return shown(intermediateFolder() /
                     platform::PathFromAnsi(paths_.zeffileroot + std::string(suffix)));
    }
    std::string shown(const fs::path& path) const { return platform::AnsiFromPath(path); }

    void reportNames();
    bool unpack();
    bool openResults();
    bool searchModulesAndTakeCensus();
    bool runConversionLoop();
    bool warnLeftReferences();
    bool putRewrittenProjectInPlace();
    bool pack();
    bool writeSummary();
    bool placeOutputs();
    // Copies `from` beside `to` under a staging name, to be renamed into place.
    bool stage(const std::filesystem::path& from, const std::filesystem::path& to);
    // Removes what placeOutputs staged or placed new, and its folder when it made it.
    void takeBackOutputs();
    bool publishArchive();
    // The new archive under its temporary name, and whatever the archive road left beside it
    // when it failed without tidying up.
    void removeArchiveRoadLeftovers();
    // An archive-road message with the work folder's private paths put as the user knows them.
    std::string replaceWorkFolder(std::string text) const;

    const ProjectPaths& paths_;
    const ConversionOptions& options_;
    std::string& report_;
    std::ostream& console_;
    PassOutcome outcome_;
    toolshell::WorkFolder folder_{"fennick"};
    fs::path unpacked_;
    LineWriter results_;
    std::vector<ModuleAddress> modules_;
    CommCallCensus census_;
    DerivedTypeCatalogue types_;
    ConversionCounters counters_;
    int moduleRack_ = 0;
    int moduleSlot_ = 0;
    fs::path createdArchive_;
    fs::path packedArchive_;  // the new archive under its temporary name, until published
    fs::path serviceFile_;
    struct Staged {
        fs::path staging;
        fs::path target;
        bool replaced = false;  // an earlier run's file stood there
        bool placed = false;
    };
    std::vector<Staged> staged_;
    bool madeIntermediateFolder_ = false;
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
        // The new archive takes its name last: a run that fails before leaves none.
        if (openResults() && searchModulesAndTakeCensus() && runConversionLoop() &&
            warnLeftReferences() && putRewrittenProjectInPlace() && pack() && writeSummary() &&
            placeOutputs() && !publishArchive()) {
            takeBackOutputs();
        }
    }
    removeArchiveRoadLeftovers();
    return std::move(outcome_);
}

void ProjectPass::reportNames() {
    // Each file where the user finds it once the conversion is done.
    const std::pair<const char*, std::string> names[] = {
        {"PCPWritefilename", paths_.besideText("_PCP.txt")},
        {"INvarfilename", intermediateText("_INvars.txt")},
        {"sortINvarfilename", intermediateText("_INvars_Sort.txt")},
        {"OUTvarfilename", intermediateText("_OUTvars.txt")},
        {"sortOUTvarfilename", intermediateText("_OUTvars_Sort.txt")},
        {"Resultsfilename", intermediateText("_Results.txt")},
        {"xefReadFilename", xefReadText()},
        {"xefWriteFilename", shown(intermediateFolder() / projectEntry)},
    };
    for (const auto& [label, name] : names) {
        report_ += "\r\n " + std::string(label) + " = '" + name + "'";
        trace(std::string(label) + " = '" + name + "'");
    }
}

bool ProjectPass::unpack() {
    if (!folder_.made()) {
        return fail({"Can't make a work folder: " + folder_.error(), "ERROR"});
    }
    trace(" ----------------  powershell extract the .xef file  ---------------------");
    unpacked_ = folder_.path() / platform::PathFromAnsi(paths_.zeffileroot);
    const platform::ArchiveResult unpacked =
        platform::UnpackArchiveEntries(paths_.archive(), unpacked_, {projectEntry});
    if (!unpacked.ok) {
        return fail({unpacked.error, "ERROR"});
    }
    std::error_code probed;
    if (!fs::is_regular_file(xefRead(), probed)) {
        return fail({paths_.fileName + " has no entry " + projectEntry, "ERROR"});
    }
    return true;
}

std::string ProjectPass::replaceWorkFolder(std::string text) const {
    // Only a whole path is replaced: the unpacked tree "p" is no part of "p_parse.txt".
    const auto replace = [&text](const std::string& from, const std::string& to, bool wholeOnly) {
        bool replaced = false;
        if (from.empty()) {
            return replaced;
        }
        for (std::size_t at = text.find(from); at != std::string::npos;) {
            const std::size_t end = at + from.size();
            const unsigned char next = end < text.size() ? text[end] : ' ';
            if (wholeOnly &&
                (std::isalnum(next) || next == '_' || next == '.' || next == '-' || next >= 0x80)) {
                at = text.find(from, end);
                continue;
            }
            text.replace(at, from.size(), to);
            replaced = true;
            at = text.find(from, at + to.size());
        }
        return replaced;
    };
    const std::string separator(1, pathSeparator());
    if (!packedArchive_.empty()) {
        replace(shown(packedArchive_), shown(createdArchive_), false);
    }
    // An entry is named as it stands in the archive; the tree itself is the archive.
    if (!unpacked_.empty()) {
        replace(shown(unpacked_) + separator, "", false);
        replace(shown(unpacked_), paths_.fileName, true);
    }
    // The conversion's own files are named by their names, with the folder they are in.
    if (folder_.made() && replace(shown(folder_.path()) + separator, "", false)) {
        text += "\r\nThe conversion writes these files in the temporary folder " +
                shown(temporaryFolder()) + ".";
    }
    return text;
}

std::string ProjectPass::fullDiskNote() const {
    // Less room than this is no room for a project's files.
    constexpr std::uintmax_t nearlyFull = 1 << 20;
    std::string note;
    // The archive's folder as a whole path: "." tells the user nothing.
    std::error_code made;
    fs::path beside = fs::absolute(paths_.beside("").parent_path(), made).lexically_normal();
    if (made) {
        beside = paths_.beside("").parent_path();
    } else if (beside.filename().empty() && beside.has_relative_path()) {
        beside = beside.parent_path();
    }
    std::vector<fs::path> folders{beside};
    if (folder_.made()) {
        folders.insert(folders.begin(), temporaryFolder());
    }
    for (const fs::path& folder : folders) {
        std::error_code failed;
        const fs::space_info space = fs::space(folder, failed);
        if (!failed && space.available < nearlyFull) {
            note += "\r\nThe disk holding " + shown(folder) + " is full.";
        }
    }
    return note;
}

bool ProjectPass::openResults() {
    if (!results_.open(work("_Results.txt"))) {
        return fail(openFailure(41, temporaryText(paths_.zeffileroot + "_Results.txt"),
                                results_.errorNumber(), "OK"));
    }
    results_.write(" ");
    return true;
}

// The module search and the census read the project file together: the census is of use only
// when the search finds a module to convert, and is dropped with the work folder otherwise.
bool ProjectPass::searchModulesAndTakeCensus() {
    trace(
        " ----------------  Make sure that there is at least one TSXIBY100 module in the "
        "configuration  ---------------------");
    LineWriter censusFile;
    if (!censusFile.open(work("_PCP.txt"))) {
        return fail(openFailure(1, temporaryText(paths_.zeffileroot + "_PCP.txt"),
                                censusFile.errorNumber(), "ERROR"));
    }
    ModuleSearch search;
    CensusPass census(censusFile.sink());
    int errorNumber = 0;
    if (!forEachLine(
            xefRead(),
            [&](std::string_view line) {
                search.line(line);
                census.line(line);
                types_.line(line);
            },
            errorNumber)) {
        return fail(openFailure(1, xefReadText(), errorNumber, "ERROR"));
    }
    search.finish();
    if (!search.error().empty()) {
        return fail({"ERROR: File '" + paths_.fileName + "': " + search.error(), "Missing IBY100"});
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
    if (search.moduleCount() == 0 && search.firstNamingLine() > 0) {
        return fail({"ERROR: File '" + paths_.fileName + "': line " +
                         decimal(search.firstNamingLine()) + " of its " + projectEntry +
                         " names a TSXIBY100, but no module of its configuration is one in the "
                         "form this program converts (a <moduleATS> line followed by its "
                         "partItem line with partNumber=\"TSXIBY100\")!",
                     "Missing IBY100"});
    }
    if (search.moduleCount() == 0) {
        return fail({"ERROR: File '" + paths_.fileName +
                         "' does not contain at least one TSXIBY100 Module!",
                     "Missing IBY100"});
    }
    if (search.moduleCount() > maxModules) {
        return fail({"ERROR: File '" + paths_.fileName + "' contains " +
                         decimal(search.moduleCount()) +
                         " TSXIBY100 Modules; at most 2 can be converted!",
                     "Too many IBY100"});
    }
    modules_ = search.modules();
    trace(
        " ----------------  Find all the Section and DFB SEND_REQ, read_var, and write_var  "
        "---------------------");
    if (!censusFile.close()) {
        return fail(openFailure(1, temporaryText(paths_.zeffileroot + "_PCP.txt"),
                                censusFile.errorNumber(), "ERROR"));
    }
    census_ = census.census();
    return true;
}

bool ProjectPass::runConversionLoop() {
    trace(" ----------------  Open the source and target files  ---------------------");
    struct Channel {
        LineWriter writer;
        fs::path path;
        std::string name;
        int site;
        std::string caption;
    };
    const std::string& root = paths_.zeffileroot;
    Channel channels[] = {
        {{}, xefWrite(), temporaryText("unitpro_IBY.xef"), 3, "OK"},
        {{}, work("_INvars.txt"), temporaryText(root + "_INvars.txt"), 42, "OK"},
        {{}, work("_INvars_Sort.txt"), temporaryText(root + "_INvars_Sort.txt"), 43, "OK"},
        {{}, work("_OUTvars.txt"), temporaryText(root + "_OUTvars.txt"), 5, "OK"},
        {{}, work("_OUTvars_Sort.txt"), temporaryText(root + "_OUTvars_Sort.txt"), 5, "OK"},
    };
    for (Channel& channel : channels) {
        if (!channel.writer.open(channel.path)) {
            return fail(openFailure(channel.site, channel.name, channel.writer.errorNumber(),
                                    channel.caption));
        }
        trace("  File '" + channel.name + "' open successful...");
    }
    PassServices services(folder_.path(), paths_.zeffileroot, options_, console_, results_.sink());
    LoopSetup setup;
    setup.debugLevel = options_.debugLevel;
    setup.trace = &console_;
    setup.console = &console_;
    setup.census = &census_;
    setup.types = &types_;
    setup.ignoreStrings = options_.ignore == "1";
    setup.modules = modules_;
    setup.services = &services;
    ConversionLoop loop(setup, LoopOutputs{channels[0].writer.sink(), results_.sink(),
                                           channels[1].writer.sink(), channels[3].writer.sink(),
                                           channels[2].writer.sink(), channels[4].writer.sink()});
    int errorNumber = 0;
    if (!forEachLine(
            xefRead(), [&](std::string_view line) { loop.line(line); }, errorNumber)) {
        return fail(openFailure(1, xefReadText(), errorNumber, "ERROR"));
    }
    loop.finish();
    if (loop.failure()) {
        return fail(*loop.failure());
    }
    for (Channel& channel : channels) {
        if (!channel.writer.close()) {
            return fail(openFailure(channel.site, channel.name, channel.writer.errorNumber(),
                                    channel.caption));
        }
    }
    if (!loop.definedGeneratedNames().empty()) {
        std::string names;
        for (const std::string& name : loop.definedGeneratedNames()) {
            names += (names.empty() ? "" : ", ") + name;
        }
        outcome_.notices.push_back("WARNING: The project defines " + names +
                                   " itself; the generated types and blocks use the project's.");
    }
    outcome_.furtherModule = loop.furtherModule();
    counters_ = loop.counters();
    moduleRack_ = loop.module().rack;
    moduleSlot_ = loop.module().slot;
    serviceFile_ = services.serviceFile();
    return true;
}

// After both passes, every reference to the module's rack and slot left in the project is
// named in the results file, and counted for the final box.
bool ProjectPass::warnLeftReferences() {
    LeftReferenceScan scan(moduleRack_, moduleSlot_);
    long lineNumber = 0;
    int left = 0;
    int errorNumber = 0;
    const bool read = forEachLine(
        xefWrite(),
        [&](std::string_view line) {
            ++lineNumber;
            for (const std::string& reference : scan.line(line)) {
                results_.write("  WARNING!!!!  Line " + decimal(lineNumber) + " of the converted " +
                               projectEntry + " still refers to the removed IBY100: " + reference);
                ++left;
            }
        },
        errorNumber);
    if (!read) {
        return fail(openFailure(3, temporaryText("unitpro_IBY.xef"), errorNumber, "OK"));
    }
    if (left > 0) {
        outcome_.notices.push_back(
            "WARNING: " + decimal(left) + " reference" + (left == 1 ? "" : "s") +
            " to the IBY100 in rack " + decimal(moduleRack_) + " slot " + decimal(moduleSlot_) +
            (left == 1 ? " is" : " are") +
            " left in the project; the results file names each one (WARNING!!!!).");
    }
    return true;
}

bool ProjectPass::putRewrittenProjectInPlace() {
    std::string error;
    if (!moveOver(xefWrite(), xefRead(), error)) {
        return fail({error, "ERROR"});
    }
    return true;
}

bool ProjectPass::pack() {
    trace(" ----------------  powershell compress the new .zef file  ---------------------");
    // Known before anything is placed: a folder under the new archive's name stays in the way.
    std::error_code probed;
    if (fs::is_directory(createdArchive_, probed)) {
        return fail(
            {"Can't write " + shown(createdArchive_) + ": a folder of that name is in the way",
             "ERROR"});
    }
    // Beside the final name, so the last step is a rename on the same volume.
    packedArchive_ = paths_.beside("_IBY.zef");
    packedArchive_.replace_filename(".~" + platform::AnsiFromPath(packedArchive_.filename()) + "." +
                                    decimal(static_cast<long long>(std::random_device{}())) +
                                    ".tmp");
    folder_.noteStray(toolshell::WorkFolder::Stray::File, packedArchive_);
    // The archive road writes its own temporary file beside the one it is given.
    fs::path roadTemporary = packedArchive_;
    roadTemporary.replace_filename(".~" + shown(packedArchive_.filename()) + ".");
    folder_.noteStray(toolshell::WorkFolder::Stray::FilesStartingWith, roadTemporary);
    const auto repack = options_.repack ? options_.repack : platform::RepackArchive;
    const platform::ArchiveResult packed =
        repack(paths_.archive(), unpacked_, {projectEntry}, packedArchive_);
    if (!packed.ok) {
        return fail({packed.error, "ERROR"});
    }
    return true;
}

void ProjectPass::removeArchiveRoadLeftovers() {
    if (packedArchive_.empty()) {
        return;
    }
    std::error_code ignored;
    fs::remove(packedArchive_, ignored);
    const std::string start = ".~" + shown(packedArchive_.filename()) + ".";
    for (fs::directory_iterator it(packedArchive_.parent_path(), ignored), end;
         !ignored && it != end; it.increment(ignored)) {
        std::error_code failed;
        if (shown(it->path().filename()).rfind(start, 0) == 0 && it->is_regular_file(failed)) {
            fs::remove(it->path(), failed);
        }
    }
}

bool ProjectPass::publishArchive() {
    std::string error;
    if (!moveOver(packedArchive_, createdArchive_, error)) {
        return fail({error, "ERROR"});
    }
    packedArchive_.clear();
    return true;
}

bool ProjectPass::writeSummary() {
    for (const std::string& line :
         summaryLines(counters_, outcome_.createdArchive, moduleRack_, moduleSlot_)) {
        results_.write(line);
    }
    if (!results_.close()) {
        return fail(openFailure(41, temporaryText(paths_.zeffileroot + "_Results.txt"),
                                results_.errorNumber(), "OK"));
    }
    return true;
}

bool ProjectPass::takenInIntermediateFolder(const fs::path& name) const {
    // Compared as Windows compares file names.
    const std::string wanted = upperCase(platform::AnsiFromPath(name));
    if (wanted == upperCase(projectEntry)) {
        return true;
    }
    for (const char* suffix : intermediateSuffixes) {
        if (wanted == upperCase(paths_.zeffileroot + suffix)) {
            return true;
        }
    }
    return false;
}

bool ProjectPass::stage(const fs::path& from, const fs::path& to) {
    Staged staged;
    staged.target = to;
    staged.staging =
        to.parent_path() /
        platform::PathFromAnsi(".~" + shown(to.filename()) + "." +
                               decimal(static_cast<long long>(std::random_device{}())));
    folder_.noteStray(toolshell::WorkFolder::Stray::File, staged.staging);
    std::error_code failed;
    fs::copy_file(from, staged.staging, fs::copy_options::overwrite_existing, failed);
    if (failed) {
        std::error_code ignored;
        fs::remove(staged.staging, ignored);
        return fail({"Can't write " + shown(to) + ": " + failed.message(), "ERROR"});
    }
    staged_.push_back(std::move(staged));
    return true;
}

void ProjectPass::takeBackOutputs() {
    for (const Staged& staged : staged_) {
        std::error_code ignored;
        if (!staged.placed) {
            fs::remove(staged.staging, ignored);
        } else if (!staged.replaced) {
            fs::remove(staged.target, ignored);
        }
    }
    staged_.clear();
    if (madeIntermediateFolder_) {
        std::error_code ignored;
        fs::remove(intermediateFolder(), ignored);  // when empty: another file there stays
    }
}

// The outputs are copied beside their places under staging names first, so a full disk or a
// refused write stops the run before any is placed; then each is renamed into its place. A run
// that fails takes back what it placed (a failed last step leaves nothing of the run beside the
// archive), and a killed run's staging files go at the next run.
bool ProjectPass::placeOutputs() {
    const fs::path intermediate = intermediateFolder();
    report_ += "\r\n Intermediate files folder = '" + shown(intermediate) + "'";
    std::error_code failed;
    const bool existed = fs::exists(intermediate, failed);
    if (!existed) {
        folder_.noteStray(toolshell::WorkFolder::Stray::FolderIfEmpty, intermediate);
    }
    fs::create_directories(intermediate, failed);
    if (failed) {
        return fail(
            {"Can't create folder " + shown(intermediate) + ": " + failed.message(), "ERROR"});
    }
    madeIntermediateFolder_ = !existed;
    std::vector<std::pair<fs::path, fs::path>> outputs = {
        {xefRead(), intermediate / projectEntry},
        {work("_PCP.txt"), paths_.beside("_PCP.txt")},
    };
    for (const char* suffix : intermediateSuffixes) {
        const fs::path file = work(suffix);
        if (fs::exists(file, failed)) {
            outputs.emplace_back(file, intermediate / file.filename());
        }
    }
    // The service file under its own name, unless that is the name of another file there (its
    // text is in "<root>.svc" all the same).
    if (!serviceFile_.empty() && fs::exists(serviceFile_, failed) &&
        !takenInIntermediateFolder(serviceFile_.filename())) {
        outputs.emplace_back(serviceFile_, intermediate / serviceFile_.filename());
    }
    for (const auto& [from, to] : outputs) {
        if (!stage(from, to)) {
            takeBackOutputs();
            return false;
        }
    }
    for (Staged& staged : staged_) {
        staged.replaced = fs::exists(staged.target, failed);
        std::string error;
        if (!moveOver(staged.staging, staged.target, error)) {
            takeBackOutputs();
            return fail({error, "ERROR"});
        }
        staged.placed = true;
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
