#pragma once

// Installed profiles for the tree tests, written from the profile format: the lines the tree
// keys on (connection paths and intervals, the assembly list, array types, variable
// declarations and parameters), each element on a line of its own.

#include <string>
#include <vector>

namespace dtmrepo_test {

struct ProfileMember {
    std::string name;
    int assembly = 1;
    std::string type;                        // "WORD", "STRING", ...
    long long size = 0;                      // the STRING's size
    long long arrayStart = 0, arrayEnd = 0;  // an array when arrayEnd > 0
    std::string address;                     // empty: no Address property
};

struct ProfileConnection {
    int inputPath = 101, outputPath = 102;
    std::string rpiOt = "10", rpiTo = "10";
};

std::vector<std::string> profileLines(const std::vector<ProfileConnection>& connections,
                                      const std::vector<ProfileMember>& members);

}  // namespace dtmrepo_test
