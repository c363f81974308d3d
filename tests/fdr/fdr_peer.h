#pragma once

// The FDR server the tests query: Debian's pyftpdlib (run with /usr/bin/python3) on port 21 of
// a loopback address of the test's own (127.0.8.N, one per test, so tests run side by side),
// serving files made by the tests from the file format.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/modbus_transport/child_process.h"

namespace fdr_test {

// 127.0.8.N.
std::string LoopbackAddress(int n);

// A fresh folder under $TMPDIR (else /tmp), removed with the object.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

using FileSet = std::map<std::string, std::vector<uint8_t>>;

class FdrFtpServer {
  public:
    // Serves `files` from the FDR directory on port 21 of `address`; false when it did not
    // start.
    bool Start(const std::string& address, const FileSet& files);
    void Stop() { process_.Stop(); }
    // The command lines the server received, in order.
    std::vector<std::string> Commands() const;

  private:
    TempFolder root_;
    ChildProcess process_;
};

std::string ReadText(const std::string& path);

}  // namespace fdr_test
