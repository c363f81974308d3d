#pragma once

// A private store file for one test: $CALVENTO_REGISTRY points into a fresh temporary folder,
// which goes away with the test, so no test touches the user's settings.

#include <string>

class TempStore {
  public:
    TempStore();
    ~TempStore();
    TempStore(const TempStore&) = delete;
    TempStore& operator=(const TempStore&) = delete;

    const std::string& folder() const { return folder_; }
    const std::string& path() const { return path_; }
    std::string Read() const;
    void Write(const std::string& text) const;

  private:
    std::string folder_;
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};
