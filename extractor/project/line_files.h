#pragma once

// Project and work files read and written line by line: a line ends at LF or CR LF when read,
// and every line written ends in CR LF. Both keep large buffers, as the project file of a big
// application runs to a hundred megabytes and is streamed several times.

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace extractor {

// One line without its line end.
using LineSink = std::function<void(std::string_view line)>;

class LineReader {
  public:
    // Opens the file; on failure errorNumber() holds the run-time error number.
    bool open(const std::filesystem::path& path);
    // The next line; false at the end of the file.
    bool next(std::string& line);
    int errorNumber() const { return errorNumber_; }

  private:
    std::unique_ptr<char[]> buffer_;
    std::ifstream in_;
    int errorNumber_ = 0;
};

class LineWriter {
  public:
    bool open(const std::filesystem::path& path);
    void write(std::string_view line);
    // Flushes and closes; false when any write failed.
    bool close();
    bool isOpen() const { return out_.is_open(); }
    int errorNumber() const { return errorNumber_; }
    LineSink sink() {
        return [this](std::string_view line) { write(line); };
    }

  private:
    std::unique_ptr<char[]> buffer_;
    std::ofstream out_;
    int errorNumber_ = 0;
};

// Reads every line of `path` into `sink`; false (with the error number) when it cannot be
// opened.
bool forEachLine(const std::filesystem::path& path, const LineSink& sink, int& errorNumber);

}  // namespace extractor
