#pragma once

namespace platform {

// A self-pipe that lets any thread end another thread's poll early (Stop, queued output).
class WakePipe {
  public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    int ReadEnd() const { return fds[0]; }
    // Makes ReadEnd readable; signals that pile up before the next Drain count once.
    void Signal();
    void Drain();

  private:
    int fds[2] = {-1, -1};
};

}  // namespace platform
