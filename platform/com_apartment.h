#pragma once

// COM for the GUI thread, which the shell's file-name completion needs. Held for the life of
// the program's main dialog; nothing to do where there is no COM.

namespace platform {

class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_ = false;
};

}  // namespace platform
