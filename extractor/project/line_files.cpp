#include "extractor/project/line_files.h"

#include <cerrno>

#include "toolshell/text_lines.h"

namespace extractor {

namespace {

constexpr std::size_t bufferSize = 1 << 20;

int lastErrorNumber() {
    return errno != 0 ? errno : EIO;
}

}  // namespace

bool LineReader::open(const std::filesystem::path& path) {
    buffer_ = std::make_unique<char[]>(bufferSize);
    in_.rdbuf()->pubsetbuf(buffer_.get(), bufferSize);
    errno = 0;
    in_.open(path, std::ios::binary);
    if (!in_) {
        errorNumber_ = lastErrorNumber();
        return false;
    }
    return true;
}

bool LineReader::next(std::string& line) {
    return toolshell::readTextLine(in_, line);
}

bool LineWriter::open(const std::filesystem::path& path) {
    buffer_ = std::make_unique<char[]>(bufferSize);
    out_.rdbuf()->pubsetbuf(buffer_.get(), bufferSize);
    errno = 0;
    out_.open(path, std::ios::binary | std::ios::trunc);
    if (!out_) {
        errorNumber_ = lastErrorNumber();
        return false;
    }
    return true;
}

void LineWriter::write(std::string_view line) {
    toolshell::writeTextLine(out_, line);
}

bool LineWriter::close() {
    if (!out_.is_open()) {
        return false;
    }
    out_.flush();
    const bool written = static_cast<bool>(out_);
    out_.close();
    if (!written || !out_) {
        errorNumber_ = lastErrorNumber();
        return false;
    }
    return true;
}

bool forEachLine(const std::filesystem::path& path, const LineSink& sink, int& errorNumber) {
    LineReader reader;
    if (!reader.open(path)) {
        errorNumber = reader.errorNumber();
        return false;
    }
    std::string line;
    while (reader.next(line)) {
        sink(line);
    }
    return true;
}

}  // namespace extractor
