#include "tests/dtmrepo/description_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace dtmrepo_test {

namespace fs = std::filesystem;

dtmrepo::IntakeSettings fixedSettings() {
    return {kRevisionDate, {kToday, "10:20:30.1234567+1:00"}};
}

std::string fileText(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::vector<std::string> reportMessages(const std::string& reportText) {
    std::vector<std::string> messages;
    size_t start = 0;
    while (start < reportText.size()) {
        size_t next = reportText.find('\r', start + 1);
        while (next != std::string::npos && next + 1 < reportText.size() &&
               reportText.compare(next, 2, "\r\r") == 0) {
            next = reportText.find('\r', next + 2);  // a message's own "\r\r" line break
        }
        std::string message = reportText.substr(start, next - start);
        if (message.rfind("\r\n", 0) == 0) {
            message.erase(0, 2);
        } else if (message.rfind("\r", 0) == 0) {
            message.erase(0, 1);
        }
        messages.push_back(message);
        start = next;
    }
    return messages;
}

std::vector<std::string> ParserRun::messages() const {
    return reportMessages(report.text);
}

ParserRun parseOnly(const Lines& lines, bool finish) {
    ParserRun run;
    run.record =
        dtmrepo::recordDefaults(dtmrepo::scanDescriptionPath("PME KRT 0302_Pump.txt").names,
                                "PME KRT 0302_Pump", fixedSettings());
    static const dtmrepo::Trace quiet(0);
    dtmrepo::DescriptionParser parser(run.record, run.report, quiet, kRevisionDate, kToday);
    for (const std::string& line : lines) {
        parser.readLine(line);
    }
    if (finish) {
        parser.finish();
    }
    run.state = parser.state();
    return run;
}

dtmrepo::IntakeOutcome parseDescription(const Lines& lines, const std::string& root) {
    dtmrepo::IntakeOutcome outcome;
    outcome.names = dtmrepo::scanDescriptionPath("c:\\work\\" + root + ".txt").names;
    std::istringstream in(fileText(lines));
    static const dtmrepo::Trace quiet(0);
    dtmrepo::parseDescriptionText(in, outcome, fixedSettings(), quiet);
    return outcome;
}

Lines sampleDescription() {
    return {
        "# A pump controller",
        "SW,\t\t01.00",
        "vendorText, en-us, Calvento",
        "ParGroup, Application",
        "ParGAccess, Configuration",
        "ParGLabl, en-us, Application Configuration",
        "  varHeading, configVars",
        "  varType, INT",
        "  varName, Speed",
        "  varLabel, en-us, Pump speed",
        "endParGroup",
        "assemblyID,\t1",
        "assemblyPath,\t101",
        "varHeading,\tInputVars",
        "  varType,\tWORD",
        "  varName,\tStatus",
        "  varLabel,en-us,\tPump status",
        "assemblyID,\t2",
        "assemblyPath,\t102",
        "varHeading,\toutputVars",
        "  varType,\tINT",
        "  varName,\tSetpoint",
        "  varLabel,en-us,\tPump setpoint",
    };
}

Lines fullDescription() {
    return {
        "# Pump controller, two connections",
        "SWINCLUDE, YES",
        "SW,\t\t02.10",
        "FW, 01.02",
        "ProductID, PMX_1.2",
        "ProductName, PMEKRT0302",
        "vendorText, en-us, Calvento",
        "vendorText, de, Calvento GmbH",
        "productText, en, Pump controller",
        "productText, fr, Controleur de pompe",
        "ParGroup, Application",
        "ParGAccess, Configuration",
        "ParGLabl, en, Application Configuration",
        "  ParGroup, Options",
        "  ParGAccess, GUIControl",
        "  ParGLabl, en, Options",
        "  ParGLabl, de, Optionen",
        "    varHeading, configVars",
        "    varType, ENUM",
        "    varName, Mode",
        "    varLabel, en, Operating mode",
        "    varENUMtype, BYTE",
        "    varENUMValue, 0",
        "    varENUMLabel, en, Manual",
        "    varENUMValue, 1",
        "    varENUMLabel, en, Automatic",
        "    varAccessIN, Mode",
        "    varHeading, configVars",
        "    varType, UINT",
        "    varName, Speed",
        "    varLabel, en, Speed",
        "    varLabel, de, Drehzahl",
        "    varLowLimit, 0",
        "    varHiLimit, 3000",
        "    varDefault, 1500",
        "    varUnit, rpm",
        "    varAccessOUT, Mode",
        "  endParGroup",
        "endParGroup",
        "assemblyID,\t1",
        "assemblyPath,\t101",
        "assemblyDefaultRPI, 20",
        "varHeading,\tInputVars",
        "  varType,\tWORD",
        "  varName,\tStatus",
        "  varLabel,en-us,\tStatus word",
        "varLoopStart,1,3",
        "varHeading,\tInputVars",
        "  varType,\tINT",
        "  varName,\tIn_%",
        "  varLabel,en-us,\tInput",
        "varLoopEnd",
        "assemblyID,\t2",
        "assemblyPath,\t102",
        "varHeading,\toutputVars",
        "  varType,\tINT",
        "  varName,\tOut_Int",
        "  varLabel,en-us,\tCommand",
        "varHeading,\toutputVars",
        "  varType,\tREAL,0,4",
        "  varName,\tOut_Real",
        "  varLabel,en-us,\tSetpoints",
        "assemblyID,\t3",
        "assemblyPath,\t103",
        "varHeading,\tInputVars",
        "  varType,\tDINT",
        "  varName,\tCounter",
        "  varLabel,en-us,\tCounter",
        "assemblyID,\t4",
        "assemblyPath,\t104",
        "varHeading,\toutputVars",
        "  varLength,\t16",
        "  varType,\tSTRING",
        "  varName,\tMessage",
        "  varLabel,en-us,\tMessage",
    };
}

namespace {

// The folders a test made go when it ends well; a failed test's stay for a look.
class FolderSweeper : public ::testing::EmptyTestEventListener {
  public:
    void OnTestEnd(const ::testing::TestInfo& test) override {
        if (!test.result()->Failed()) {
            for (const fs::path& folder : folders_) {
                std::error_code ignored;
                fs::remove_all(folder, ignored);
            }
        }
        folders_.clear();
    }
    std::vector<fs::path> folders_;
};

FolderSweeper& sweeper() {
    static FolderSweeper* instance = [] {
        auto* listener = new FolderSweeper;  // the listener list owns it
        ::testing::UnitTest::GetInstance()->listeners().Append(listener);
        return listener;
    }();
    return *instance;
}

}  // namespace

// The file dialogs take a path of at most 260 characters, as Windows' do, and the deepest file
// a test chooses lies about 110 characters below its folder: below a temporary folder longer
// than this, the tests' folders go to the system's own temporary folder (the program's work
// folder stays below the long one).
constexpr size_t kLongestTestBase = 120;

std::string freshFolder(const std::string& name) {
    fs::path base = fs::temp_directory_path();
    std::error_code error;
    if (base.string().size() > kLongestTestBase && fs::is_directory("/tmp", error)) {
        base = "/tmp";
    }
    const fs::path folder = base / ("dtmrepo-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    sweeper().folders_.push_back(folder);
    return folder.string();
}

void writeFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace dtmrepo_test
