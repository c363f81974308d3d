#include "platform/com_apartment.h"

#include <objbase.h>

namespace platform {

ComApartment::ComApartment() {
    initialised_ = SUCCEEDED(::CoInitialize(nullptr));
}

ComApartment::~ComApartment() {
    if (initialised_)
        ::CoUninitialize();
}

}  // namespace platform
