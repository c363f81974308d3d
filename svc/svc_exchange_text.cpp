#include "svc/svc_exchange_text.h"

namespace svc {

void putLine(std::ostream& out, std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.write("\r\n", 2);
}

void putLines(std::ostream& out, std::string_view block) {
    forEachBlockLine(block, [&out](std::string_view line) { putLine(out, line); });
}

void forEachBlockLine(std::string_view block, const std::function<void(std::string_view)>& take) {
    while (!block.empty()) {
        const std::size_t end = block.find('\n');
        take(block.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        block.remove_prefix(end + 1);
    }
}

std::string indentedByTabs(std::string_view block, int tabs) {
    const std::string indent(static_cast<std::size_t>(tabs), '\t');
    std::string result;
    forEachBlockLine(block, [&](std::string_view line) {
        result += indent;
        result += line;
        result += '\n';
    });
    return result;
}

std::string xmlEscaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                escaped += c;
                break;
        }
    }
    return escaped;
}

std::string replacedEverywhere(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    while (true) {
        const std::size_t found = from.empty() ? std::string_view::npos : text.find(from, start);
        if (found == std::string_view::npos) {
            result.append(text.substr(start));
            return result;
        }
        result.append(text.substr(start, found - start));
        result.append(to);
        start = found + from.size();
    }
}

void putStExchangeHead(std::ostream& out) {
    putLine(out, svcXmlDeclaration);
    putLine(out, "<STExchangeFile>");
    putLine(out,
            "\t<fileHeader company=\"Schneider Automation\" product=\"Unity Pro XL V13.0 - "
            "170914B\" dateTime=\"date_and_time#2020-02-25-22:05:59\" content=\"Structured source "
            "file\" DTDVersion=\"41\"></fileHeader>");
    putLine(out,
            "\t<contentHeader name=\"Project\" version=\"0.1.01\" "
            "dateTime=\"date_and_time#2020-02-25-22:05:59\"></contentHeader>");
}

}  // namespace svc
