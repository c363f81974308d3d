#include "fault_plan.h"

#include <cstdlib>
#include <sstream>

namespace krtsim {
namespace {

struct KindName {
    FaultKind kind;
    const char* name;
};

constexpr KindName kKindNames[] = {
    {FaultKind::Drop, "drop"},         {FaultKind::NoReply, "noreply"},
    {FaultKind::Late, "late"},         {FaultKind::Exception, "exception"},
    {FaultKind::WrongFc, "wrongfc"},   {FaultKind::BadEcho, "badecho"},
    {FaultKind::BadCheck, "badcheck"}, {FaultKind::Short, "short"},
    {FaultKind::Split, "split"},       {FaultKind::Hold, "hold"},
    {FaultKind::Fake, "fake"},
};

bool parseNumber(const std::string& text, int& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0')
        return false;
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace

const char* faultKindName(FaultKind kind) {
    for (const auto& entry : kKindNames)
        if (entry.kind == kind)
            return entry.name;
    return "?";
}

std::optional<FaultRule> parseFaultRule(const std::string& text, std::string& error) {
    FaultRule rule;
    bool haveKind = false;
    bool haveTimes = false;
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        auto equals = item.find('=');
        std::string key = item.substr(0, equals);
        std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
        int number = 0;
        bool numeric = parseNumber(value, number);
        if (key == "do") {
            for (const auto& entry : kKindNames)
                if (value == entry.name) {
                    rule.kind = entry.kind;
                    haveKind = true;
                }
            if (!haveKind) {
                error = "unknown fault kind '" + value + "'";
                return std::nullopt;
            }
            continue;
        }
        if (!numeric) {
            error = "fault item '" + item + "' needs a number";
            return std::nullopt;
        }
        if (key == "req") {
            rule.request = number;
        } else if (key == "from") {
            rule.fromRequest = number;
        } else if (key == "fc") {
            rule.functionCode = number;
        } else if (key == "sub") {
            rule.subCommand = number & 0xF0;
        } else if (key == "code") {
            rule.exceptionCode = number;
        } else if (key == "ms") {
            rule.delayMs = number;
        } else if (key == "times") {
            rule.times = number;
            haveTimes = true;
        } else {
            error = "unknown fault item '" + key + "'";
            return std::nullopt;
        }
    }
    if (!haveKind || (rule.request < 0 && rule.fromRequest < 0 && rule.functionCode < 0)) {
        error = "a fault needs do= and req=, from= or fc=";
        return std::nullopt;
    }
    if (!haveTimes && rule.request >= 0)
        rule.times = 1;
    return rule;
}

std::optional<FaultRule> takeFault(std::vector<FaultRule>& rules, int request, int functionCode,
                                   int subCommand) {
    for (auto& rule : rules) {
        if (rule.times > 0 && rule.used >= rule.times)
            continue;
        if (rule.request >= 0 && rule.request != request)
            continue;
        if (rule.fromRequest >= 0 && request < rule.fromRequest)
            continue;
        if (rule.functionCode >= 0 && rule.functionCode != functionCode)
            continue;
        if (rule.subCommand >= 0 && rule.subCommand != subCommand)
            continue;
        ++rule.used;
        return rule;
    }
    return std::nullopt;
}

}  // namespace krtsim
