#include "dtmrepo/intake/loop_expansion.h"

#include "dtmrepo/intake/preprocess.h"
#include "dtmrepo/parser/description_parser.h"
#include "dtmrepo/parser/number_text.h"
#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

std::optional<std::string> expandLoop(const std::string& header, LoopKind kind,
                                      DescriptionLines& lines, std::vector<std::string>& target) {
    const bool parameters = kind == LoopKind::Parameter;
    const std::string_view prefix = parameters ? "par" : "var";
    const std::string endKeyword = parameters ? "PARLOOPEND" : "VARLOOPEND";

    const size_t first = header.find(',');
    const size_t second = first == std::string::npos ? first : header.find(',', first + 1);
    if (second == std::string::npos) {
        return "ERROR - '" + std::string(prefix) + "LoopStart' must have 3 fields!";
    }
    const long long start = integerValue(header.substr(first + 1, second - first - 1));
    const long long end = integerValue(header.substr(second + 1));
    if (end - start > maxLoopSpan) {
        return "ERROR - " + std::string(prefix) + "LoopEnd - " + std::string(prefix) +
               "LoopStart must be < 500!";
    }
    target.push_back("#  tpline = " + header);
    target.push_back("#  firstcomma = " + std::to_string(first + 1));
    target.push_back("#  secondcomma = " + std::to_string(second + 1));
    target.push_back("#  ploopstart = " + std::to_string(start));
    target.push_back("#  ploopend = " + std::to_string(end));

    std::vector<std::string> body;
    bool ended = false;
    std::string line;
    while (!ended && lines.next(line)) {
        if (body.size() >= maxLoopBodyLines) {
            return "ERROR - a loop body may hold at most " + std::to_string(maxLoopBodyLines) +
                   " lines";
        }
        ended = (line.empty() || line.front() != '#') &&
                upperCase(line).find(endKeyword) != std::string::npos;
        body.push_back(line);
    }
    if (!ended) {
        return "ERROR - Missing " + endKeyword + " ";
    }
    const long long indexes = end >= start ? end - start + 1 : 0;
    if (target.size() + static_cast<size_t>(indexes) * (body.size() - 1) > maxExpandedLines) {
        return "ERROR - the description expands to more than " + std::to_string(maxExpandedLines) +
               " lines";
    }
    // Every body line but the end line, once per index.
    for (long long index = start; index <= end; ++index) {
        for (size_t i = 0; i + 1 < body.size(); ++i) {
            const size_t percent = body[i].find('%');
            target.push_back(percent == std::string::npos
                                 ? body[i]
                                 : body[i].substr(0, percent) + std::to_string(index));
        }
    }
    return std::nullopt;
}

}  // namespace dtmrepo
