#include "platform/ui_script.h"

#include <cctype>
#include <charconv>
#include <map>
#include <optional>

#include "platform/ui_quote.h"

namespace platform::ui {

const char* AnswerName(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return "OK";
        case Answer::Cancel:
            return "Cancel";
        case Answer::Yes:
            return "Yes";
        case Answer::No:
            return "No";
    }
    return "?";
}

namespace {

std::optional<int> ParseInt(const Token& token) {
    if (token.quoted) {
        return std::nullopt;
    }
    int value = 0;
    const char* first = token.text.data();
    const char* last = first + token.text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

std::optional<uint32_t> ParseIp(const Token& token) {
    if (token.quoted) {
        return std::nullopt;
    }
    uint32_t address = 0;
    const char* p = token.text.data();
    const char* last = p + token.text.size();
    for (int part = 0; part < 4; ++part) {
        unsigned byte = 0;
        const auto [end, error] = std::from_chars(p, last, byte);
        if (error != std::errc() || byte > 255) {
            return std::nullopt;
        }
        address = (address << 8) | byte;
        p = end;
        if (part < 3) {
            if (p == last || *p != '.') {
                return std::nullopt;
            }
            ++p;
        }
    }
    if (p != last) {
        return std::nullopt;
    }
    return address;
}

std::optional<Answer> ParseAnswer(const Token& token) {
    for (Answer a : {Answer::Ok, Answer::Cancel, Answer::Yes, Answer::No}) {
        std::string name = AnswerName(a);
        if (!token.quoted && token.text.size() == name.size()) {
            bool same = true;
            for (size_t i = 0; i < name.size(); ++i) {
                same = same && std::tolower(static_cast<unsigned char>(token.text[i])) ==
                                   std::tolower(static_cast<unsigned char>(name[i]));
            }
            if (same) {
                return a;
            }
        }
    }
    return std::nullopt;
}

bool IsWord(const Token& token, std::string_view word) {
    return !token.quoted && token.text == word;
}

// The events that name a control and take one number after it.
const std::map<std::string, ScriptEventKind, std::less<>> kIdAndNumber = {
    {"select", ScriptEventKind::Select},
    {"check", ScriptEventKind::Check},
    {"tab", ScriptEventKind::Tab},
    {"key", ScriptEventKind::Key},
};
const std::map<std::string, ScriptEventKind, std::less<>> kIdOnly = {
    {"command", ScriptEventKind::Command},
    {"menu", ScriptEventKind::Menu},
    {"syscommand", ScriptEventKind::SystemCommand},
    {"click", ScriptEventKind::Click},
};

// Parses one line's tokens; on failure returns the reason.
std::optional<std::string> ParseEvent(const std::vector<Token>& t, ScriptEvent& event) {
    const std::string& word = t[0].text;
    const size_t n = t.size();
    if (t[0].quoted) {
        return "an event begins with a word";
    }
    if (word == "answer") {
        auto answer = n == 2 ? ParseAnswer(t[1]) : std::nullopt;
        if (!answer) {
            return "answer takes OK, Cancel, Yes or No";
        }
        event.kind = ScriptEventKind::Answer;
        event.answer = *answer;
        return std::nullopt;
    }
    if (word == "file") {
        event.kind = ScriptEventKind::File;
        if (n == 2 && t[1].quoted) {
            event.text = t[1].text;
        } else if (n == 2 && IsWord(t[1], "cancel")) {
            event.cancel = true;
        } else if (n == 2 && IsWord(t[1], "offered")) {
            event.offered = true;
        } else {
            return "file takes a quoted path, offered or cancel";
        }
        return std::nullopt;
    }
    if (word == "print") {
        event.kind = ScriptEventKind::Print;
        if (n == 2 && t[1].quoted) {
            event.text = t[1].text;
        } else if (n == 2 && IsWord(t[1], "cancel")) {
            event.print = PrintAnswer::Cancel;
        } else if (n == 2 && IsWord(t[1], "fail")) {
            event.print = PrintAnswer::Fail;
        } else {
            return "print takes a quoted path, cancel or fail";
        }
        return std::nullopt;
    }
    if (auto it = kIdOnly.find(word); it != kIdOnly.end()) {
        auto id = n == 2 ? ParseInt(t[1]) : std::nullopt;
        if (!id) {
            return word + " takes one number";
        }
        event.kind = it->second;
        event.id = *id;
        return std::nullopt;
    }
    if (auto it = kIdAndNumber.find(word); it != kIdAndNumber.end()) {
        // A key may be typed with Shift held: "key ID CODE shift".
        const bool shifted = it->second == ScriptEventKind::Key && n == 4 && IsWord(t[3], "shift");
        auto id = n == 3 || shifted ? ParseInt(t[1]) : std::nullopt;
        auto value = n == 3 || shifted ? ParseInt(t[2]) : std::nullopt;
        if (!id || !value) {
            return word + " takes two numbers";
        }
        if (it->second == ScriptEventKind::Check && *value != 0 && *value != 1) {
            return "check takes 0 or 1";
        }
        event.kind = it->second;
        event.id = *id;
        event.value = *value;
        event.shift = shifted;
        return std::nullopt;
    }
    if (word == "text") {
        auto id = n == 3 ? ParseInt(t[1]) : std::nullopt;
        if (!id || !t[2].quoted) {
            return "text takes a number and a quoted text";
        }
        event.kind = ScriptEventKind::Text;
        event.id = *id;
        event.text = t[2].text;
        return std::nullopt;
    }
    if (word == "ip") {
        auto id = n == 3 ? ParseInt(t[1]) : std::nullopt;
        auto ip = n == 3 ? ParseIp(t[2]) : std::nullopt;
        if (!id || !ip) {
            return "ip takes a number and an address a.b.c.d";
        }
        event.kind = ScriptEventKind::Ip;
        event.id = *id;
        event.ip = *ip;
        return std::nullopt;
    }
    if (word == "size") {
        auto w = n == 3 ? ParseInt(t[1]) : std::nullopt;
        auto h = n == 3 ? ParseInt(t[2]) : std::nullopt;
        if (!w || !h || *w < 0 || *h < 0) {
            return "size takes a width and a height";
        }
        event.kind = ScriptEventKind::Size;
        event.value = *w;
        event.value2 = *h;
        return std::nullopt;
    }
    if (word == "activate") {
        auto v = n == 2 ? ParseInt(t[1]) : std::nullopt;
        if (!v || (*v != 0 && *v != 1)) {
            return "activate takes 0 or 1";
        }
        event.kind = ScriptEventKind::Activate;
        event.value = *v;
        return std::nullopt;
    }
    if (word == "device") {
        if (n != 2 || !IsWord(t[1], "remove")) {
            return "device takes remove";
        }
        event.kind = ScriptEventKind::Device;
        return std::nullopt;
    }
    if (word == "close" || word == "pump") {
        if (n != 1) {
            return word + " takes nothing";
        }
        event.kind = word == "close" ? ScriptEventKind::Close : ScriptEventKind::Pump;
        return std::nullopt;
    }
    return "unknown event " + QuoteText(word);
}

}  // namespace

Script ParseScript(std::string_view text) {
    Script script;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        auto tokens = SplitTokens(line);
        if (!tokens) {
            script.errors.push_back(where + "bad quoting");
            continue;
        }
        if (tokens->empty() || (!(*tokens)[0].quoted && (*tokens)[0].text[0] == '#')) {
            continue;
        }
        ScriptEvent event;
        event.line = lineNumber;
        if (tokens->size() > 1 && IsWord((*tokens)[0], "pump")) {
            tokens->erase(tokens->begin());
            event.duringPump = true;
        }
        auto error = ParseEvent(*tokens, event);
        if (!error && event.duringPump &&
            (event.IsAnswer() || event.kind == ScriptEventKind::Pump)) {
            error = "only a user event can happen during a pump";
        }
        if (error) {
            script.errors.push_back(where + *error);
            continue;
        }
        script.events.push_back(std::move(event));
    }
    return script;
}

}  // namespace platform::ui
