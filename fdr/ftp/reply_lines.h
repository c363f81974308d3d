#pragma once

// The FTP server's replies as they arrive on the control connection: text cut into lines at
// each line feed, whatever the receives' boundaries, and the lines of a multi-line reply
// ("220-..." up to "220 ...") taken together as one reply.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fdr {

// A reply line longer than this is not FTP: the session gives up on such a server.
inline constexpr std::size_t maxReplyLineLength = 64 * 1024;

class ReplyLineCutter {
  public:
    void add(std::string_view received);

    // The next whole line, its line feed included; nothing until that line feed has arrived.
    std::optional<std::string> nextLine();

    // Received text not yet cut into lines.
    std::string_view pendingText() const;
    // Takes that text as a last line (the server closed without ending it).
    std::string takePending();

  private:
    std::string received_;
    std::size_t cut_ = 0;  // received_ before this offset has been cut into lines
};

// The line as a message shows it: without its line end.
std::string withoutLineEnd(std::string_view line);

// The reply code of a line: its three leading digits when a blank, a hyphen or the line end
// follows them; 0 for any other line.
int replyCodeOf(std::string_view line);

// Groups the lines of a multi-line reply: a line "ddd-" opens one, which ends at the line that
// begins with the same code and a blank (or the line end). Lines between are text.
class ReplyAssembler {
  public:
    // The code of the reply that `line` completes; nothing while a multi-line reply goes on.
    std::optional<int> addLine(std::string_view line);
    bool inMultiLineReply() const { return openCode_ != 0; }

  private:
    int openCode_ = 0;
};

}  // namespace fdr
