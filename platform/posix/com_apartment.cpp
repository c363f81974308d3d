#include "platform/com_apartment.h"

namespace platform {

// No COM here: the headless file box has no shell completion to serve.
ComApartment::ComApartment() = default;
ComApartment::~ComApartment() = default;

}  // namespace platform
