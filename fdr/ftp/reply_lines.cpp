#include "fdr/ftp/reply_lines.h"

namespace fdr {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool EndsCode(std::string_view line) {
    return line.size() == 3 || line[3] == ' ' || line[3] == '\r' || line[3] == '\n';
}

}  // namespace

void ReplyLineCutter::add(std::string_view received) {
    // Lines already cut go once the rest is appended, so text is moved once, not once per line.
    received_.erase(0, cut_);
    cut_ = 0;
    received_ += received;
}

std::optional<std::string> ReplyLineCutter::nextLine() {
    const std::size_t lineFeed = received_.find('\n', cut_);
    if (lineFeed == std::string::npos)
        return std::nullopt;
    std::string line = received_.substr(cut_, lineFeed + 1 - cut_);
    cut_ = lineFeed + 1;
    return line;
}

std::string_view ReplyLineCutter::pendingText() const {
    return std::string_view(received_).substr(cut_);
}

std::string ReplyLineCutter::takePending() {
    std::string rest = received_.substr(cut_);
    received_.clear();
    cut_ = 0;
    return rest;
}

std::string withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return std::string(line);
}

int replyCodeOf(std::string_view line) {
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]))
        return 0;
    if (!EndsCode(line) && line[3] != '-')
        return 0;
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

std::optional<int> ReplyAssembler::addLine(std::string_view line) {
    const int code = replyCodeOf(line);
    if (openCode_ != 0) {
        if (code != openCode_ || !EndsCode(line))
            return std::nullopt;
        openCode_ = 0;
        return code;
    }
    if (code != 0 && !EndsCode(line)) {
        openCode_ = code;  // "ddd-": more lines follow
        return std::nullopt;
    }
    return code;
}

}  // namespace fdr
