#include "svc_text_variants.h"

#include <cctype>

namespace svc::testing {

std::vector<std::string> crlfSplit(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos;
         end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::string crlfJoin(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

namespace {

// Every line that holds "#" changed by `change`.
template <typename Change>
std::string withWordLines(const std::string& text, Change change) {
    std::vector<std::string> lines = crlfSplit(text);
    for (std::string& line : lines) {
        if (line.find('#') != std::string::npos) {
            change(line);
        }
    }
    return crlfJoin(lines);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

std::vector<TextVariant> eachWordLineDuplicated(const std::string& text) {
    const std::vector<std::string> lines = crlfSplit(text);
    std::vector<TextVariant> variants;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find('#') == std::string::npos) {
            continue;
        }
        std::vector<std::string> changed = lines;
        changed.insert(changed.begin() + static_cast<std::ptrdiff_t>(i), lines[i]);
        variants.push_back(
            {"line " + std::to_string(i + 1) + " " + lines[i] + " twice", crlfJoin(changed)});
    }
    return variants;
}

std::vector<TextVariant> eachLineDeleted(const std::string& text) {
    const std::vector<std::string> lines = crlfSplit(text);
    std::vector<TextVariant> variants;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string> changed = lines;
        changed.erase(changed.begin() + static_cast<std::ptrdiff_t>(i));
        variants.push_back(
            {"line " + std::to_string(i + 1) + " \"" + lines[i] + "\" lost", crlfJoin(changed)});
    }
    return variants;
}

std::vector<TextVariant> harmlessVariants(const std::vector<Record>& records) {
    const std::string plain = svcText(records);
    const std::string packed = replaced(plain, "\r\n\r\n", "\r\n").substr(2);  // no empty lines
    std::vector<Record> withUnknown = records;
    withUnknown.insert(withUnknown.begin() + 1, Record{0x0999, {0x0001, 0x0002}, {}});
    std::vector<TextVariant> variants = {
        {"the file as written", plain},
        {"blanks after the closing #", withWordLines(plain, [](std::string& l) { l += "  "; })},
        {"a tab after the closing #", withWordLines(plain, [](std::string& l) { l += '\t'; })},
        {"CR CR LF line ends", replaced(plain, "\r\n", "\r\r\n")},
        {"lower-case digits", withWordLines(plain,
                                            [](std::string& l) {
                                                if (l != "#CMD#") {
                                                    for (char& c : l) {
                                                        c = static_cast<char>(std::tolower(
                                                            static_cast<unsigned char>(c)));
                                                    }
                                                }
                                            })},
        {"no line end after the last line", plain.substr(0, plain.size() - 2)},
        {"no empty lines between the records", packed},
        {"LF line ends", replaced(plain, "\r\n", "\n")},
        {"a byte-order mark before the first #CMD#", "\xEF\xBB\xBF" + packed},
        {"a byte-order mark before an empty first line", "\xEF\xBB\xBF" + plain},
        {"notes before the first record",
         "Plant line 2, exported 2021-03-04\r\n#0x1# notes\r\n" + plain},
        {"blanks and a tab on the empty lines", replaced(plain, "\r\n\r\n", "\r\n  \t\r\n")},
        {"text between the records", replaced(plain, "\r\n\r\n#CMD#", "\r\n; next\r\n#CMD#")},
        {"empty lines after the last record", plain + "\r\n\r\n"},
        {"a record of a service nobody knows, whole", svcText(withUnknown), records.size() + 1},
    };
    for (TextVariant& variant : variants) {
        if (variant.records == 0) {
            variant.records = records.size();
        }
    }
    return variants;
}

std::size_t countContaining(const std::vector<std::string>& lines, const std::string& text) {
    std::size_t count = 0;
    for (const std::string& line : lines) {
        count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
}

}  // namespace svc::testing
