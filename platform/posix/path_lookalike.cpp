#include "platform/path_lookalike.h"

namespace platform {

// No code page stands between a name and the file calls here; the names are checked against
// what a Windows system of any code page would make of them.
bool ReachesFileCallsUnchanged(std::string_view name) {
    return !HoldsPathLookAlike(name);
}

}  // namespace platform
