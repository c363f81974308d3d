#pragma once

// A small bus, a scratch folder per test, and readers for the decoder's outputs; the service
// files themselves are made by svc_builder.h.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "svc/svc_decoder.h"
#include "svc_builder.h"

namespace svc::testing {

// A small bus used by several suites, on a module at rack 0 slot 3:
//   devices 1.1 (2 input words), 1.2 (1 output word), 1.3 (PCP, 1 word), 2.1 (2 words in+out);
//   PCP attributes of node 2 (device 1.3): Max PDU Sending 64, client services byte 0 16#90;
//   map: an input entry of 1.1 at 16#0200, an output entry of 1.2 at 0, a direct link 2.1 to
//   1.2 with a three-byte extension;
//   a Set_Value of the 32-bit cycle time 100000, and a Start_Data_Transfer word 5.
std::vector<Record> busRecords();
inline constexpr SvcModuleContext busModule{0, 3};

class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& path() const { return path_; }
    // The root path of a service file named `name` + ".svc" written with `text`.
    std::filesystem::path writeSvc(const std::string& name, const std::string& text) const;

  private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);

// The lines of a file whose every line must end in CR LF; a line end of another form fails the
// current test.
std::vector<std::string> crlfLines(const std::string& content);

// Lines split at LF (the console copy).
std::vector<std::string> lfLines(const std::string& content);

// Empty when the text is well-formed XML as far as the exchange files go (balanced elements,
// quoted attributes, only the five predefined entities); otherwise what is wrong.
std::string xmlProblem(const std::string& text);

struct Decoded {
    SvcDecodeResult result;
    std::string console;
    std::filesystem::path root;
    std::string output(const char* suffix) const;
    std::vector<std::string> lines(const char* suffix) const;
};

Decoded decode(const ScratchFolder& folder, const std::string& name,
               const std::vector<Record>& records, SvcModuleContext module = {});
// The same for a service file of any text.
Decoded decodeText(const ScratchFolder& folder, const std::string& name, const std::string& text,
                   SvcModuleContext module = {});

// Count of lines equal to `line`, and the index of the first one (or -1).
int countOf(const std::vector<std::string>& lines, const std::string& line);
int indexOf(const std::vector<std::string>& lines, const std::string& line);

}  // namespace svc::testing
