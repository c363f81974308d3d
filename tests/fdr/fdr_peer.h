#pragma once

// The FDR server the tests query: Debian's pyftpdlib (run with /usr/bin/python3) on a port of
// 127.0.0.1 that the system gives it, so tests and whole runs of the suite go side by side as
// any user, serving files made by the tests from the file format.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/modbus_transport/child_process.h"

namespace fdr_test {

inline constexpr const char* kLoopback = "127.0.0.1";

// A port of 127.0.0.1 that refuses every connection for as long as the object lives: bound,
// never listening.
class RefusingPort {
  public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    uint16_t port() const { return port_; }

  private:
    int fd_ = -1;
    uint16_t port_ = 0;
};

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
    // Serves `files` from the FDR directory on `port` of `address` (0: a free one); false when
    // it did not start, with the reason in failure().
    bool Start(const FileSet& files, const std::string& address = kLoopback, uint16_t port = 0);
    void Stop() { process_.Stop(); }
    uint16_t port() const { return port_; }
    const std::string& failure() const { return failure_; }
    // The command lines the server received, in order.
    std::vector<std::string> Commands() const;

  private:
    TempFolder root_;
    ChildProcess process_;
    uint16_t port_ = 0;
    std::string failure_;
};

std::string ReadText(const std::string& path);

}  // namespace fdr_test
