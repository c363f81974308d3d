#pragma once

// Brondel run as a program on the headless UI: a settings store of its own pointing UnityPath
// at a repository folder made by the test, a script playing the user, and the transcript.

#include <map>
#include <string>
#include <vector>

namespace dtmrepo_test {

struct BrondelRun {
    int exitCode = -1;
    std::vector<std::string> transcript;  // one entry per transcript line

    // The transcript lines that begin with `prefix`.
    std::vector<std::string> linesStartingWith(const std::string& prefix) const;
    // The text of the last "report" line, unquoted.
    std::string lastReport() const;
};

class BrondelHarness {
  public:
    // A settings store under `folder`; UnityPath names `unityPath` when not empty.
    BrondelHarness(const std::string& folder, const std::string& unityPath);
    ~BrondelHarness();

    BrondelRun run(const std::string& script) const;
    std::string storePath() const { return store_; }

  private:
    std::string store_;
};

// How the transcript names a box owned by Brondel's main window.
inline const std::string kOverMain = " over \"TVQ PTK DTM Tool Rev. 16OCT2019\"";
inline const std::string kQuestion = " icon question" + kOverMain;
inline const std::string kInformation = " icon information" + kOverMain;
inline const std::string kStop = " icon stop" + kOverMain;

// Undoes the transcript's quoting of a text.
std::string unquote(const std::string& quoted);

// A repository below `unityPath` whose index lists `entryLines` between its root element's
// start and end lines.
void writeIndex(const std::string& unityPath, const std::vector<std::string>& entryLines,
                const std::string& indexName = "DDXMLRepository.XML");

// An index line as the install writes it.
std::string indexLine(const std::string& fileName, const std::string& version,
                      const std::string& productId);

// Every file below `folder` with its bytes and permissions, and every folder: what "the
// repository as it was" means, byte for byte.
std::map<std::string, std::string> folderSnapshot(const std::string& folder);

// A repository below `unity` as the DAV leaves it: the index with the given entry lines and
// the Logics folder.
void makeRepository(const std::string& unity, const std::vector<std::string>& entryLines = {});

// The index's lines.
std::vector<std::string> indexLines(const std::string& unity);

}  // namespace dtmrepo_test
