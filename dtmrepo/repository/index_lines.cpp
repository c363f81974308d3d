#include "dtmrepo/repository/index_lines.h"

#include <unordered_set>

#include "dtmrepo/parser/vocabulary.h"
#include "dtmrepo/xml_entities.h"
#include "platform/ansi_path.h"
#include "platform/path_lookalike.h"

namespace dtmrepo {

std::string indexEntryLine(const DescriptionRecord& r, const DescriptionNames& names) {
    // The names come from the chosen file's name, in the system's code page; the index is UTF-8.
    const std::string file = platform::Utf8FromAnsi(names.entryFileName());
    const auto value = [](const std::string& text) { return "\"" + xmlEscaped(text) + "\""; };
    const auto picture = [&value](const std::string& text) { return value("pictures/" + text); };
    return "  <File DDXMLFile=" + value(file) + " Filename=" + value(file) +
           " Fileversion=" + value(r.swVersion) + " ProductName=" + value(r.productName) +
           " Vendorname=\"243\" ProductID=" + value(platform::Utf8FromAnsi(names.root)) +
           " ImageLarge=" + picture(r.imageLarge) + " ImageSmall=" + picture(r.imageSmall) +
           " ImageIcon=" + picture(r.imageIcon) + " CompanyLogo=" + picture(r.companyLogo) +
           " ImageCompanyIcon=" + picture(r.imageCompanyIcon) + " CAPPLogo=" + picture(r.cappLogo) +
           "/>";
}

std::optional<std::string> attributeValue(std::string_view line, std::string_view name) {
    for (size_t start = line.find(name); start != std::string_view::npos;
         start = line.find(name, start + 1)) {
        // The attribute name must stand on its own, not end a longer one.
        if (start > 0 && line[start - 1] != ' ' && line[start - 1] != '\t') {
            continue;
        }
        const size_t equals = start + name.size();
        if (line.substr(equals, 2) != "=\"") {
            continue;
        }
        const size_t value = equals + 2;
        const size_t end = line.find('"', value);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        return xmlUnescaped(line.substr(value, end - value));
    }
    return std::nullopt;
}

std::optional<std::string> fileAttribute(std::string_view line) {
    return attributeValue(line, "DDXMLFile");
}

bool namesFile(std::string_view line, std::string_view fileName) {
    const auto file = fileAttribute(line);
    return file && upperCase(*file) == upperCase(fileName);
}

MergeResult mergeEntry(const IndexLines& index, const std::string& entryLine,
                       std::string_view fileName) {
    MergeResult result;
    for (const std::string& line : index) {
        if (!namesFile(line, fileName)) {
            result.lines.push_back(line);
        } else if (!result.matched) {
            result.lines.push_back(entryLine);
            result.matched = true;
        }
        // Further entries of the same file are the same profile listed twice: they go.
    }
    result.placed = result.matched || !index.empty();
    if (!result.matched && result.placed) {
        result.lines.insert(result.lines.end() - 1, entryLine);
    }
    return result;
}

RemovalResult removeEntry(const IndexLines& index, std::string_view fileName) {
    RemovalResult result;
    for (const std::string& line : index) {
        if (namesFile(line, fileName)) {
            ++result.removed;
        } else {
            result.lines.push_back(line);
        }
    }
    return result;
}

RestoreResult restoreFromCopy(const IndexLines& index, const IndexLines& installCopy,
                              const std::function<bool(const std::string& line)>& restorable) {
    RestoreResult result;
    // The first line is the XML declaration, never an entry.
    std::unordered_set<std::string> present;
    for (size_t i = 1; i < index.size(); ++i) {
        ++result.attributeReads;
        if (auto file = fileAttribute(index[i])) {
            present.insert(upperCase(*file));
        }
    }
    result.keys = present.size();
    if (index.empty()) {
        return result;  // no closing line to put an entry above
    }
    result.lines.assign(index.begin(), index.end() - 1);
    for (size_t i = 1; i < installCopy.size(); ++i) {
        ++result.attributeReads;
        auto file = fileAttribute(installCopy[i]);
        // Each missing entry comes back once, however often the copy lists it.
        if (!file || !present.insert(upperCase(*file)).second) {
            continue;
        }
        if (restorable && !restorable(installCopy[i])) {
            result.notRestored.push_back(*file);
            continue;
        }
        result.lines.push_back(installCopy[i]);
        result.changed = true;
    }
    result.lines.push_back(index.back());
    return result;
}

std::optional<std::string> checkRepositoryName(std::string_view name, std::string_view what) {
    // Only what a Windows file name cannot hold: no command interpreter ever reads these names.
    constexpr std::string_view kRefused = "\\/:*?\"<>|";
    bool refused =
        name.empty() || name == "." || name == ".." || name.back() == ' ' || name.back() == '.';
    for (char c : name) {
        refused = refused || static_cast<unsigned char>(c) < ' ' ||
                  kRefused.find(c) != std::string_view::npos;
    }
    // The file call on Windows receives the name converted to the ANSI code page, where a
    // look-alike becomes a separator or a point and a character the page lacks another name.
    refused = refused || !platform::ReachesFileCallsUnchanged(name);
    if (!refused) {
        return std::nullopt;
    }
    return std::string(what) + " '" + std::string(name) +
           "' cannot name a repository file: it must not be empty, end in a blank or a point, "
           "or hold any of \\ / : * ? \" < > |, a control character or a character that "
           "Windows turns into one of them or that its code page lacks";
}

}  // namespace dtmrepo
