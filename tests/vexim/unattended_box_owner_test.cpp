// Whose boxes vexim shows when run from its command line: the main dialog starts the download
// in its Init, before it is ever shown, so a box over it would belong to a window no one sees
// (no taskbar button, and one click elsewhere buries it while a script waits for it). Before the
// progress dialog is up such a box stands on its own; while it is up, the box belongs to it.

#include <gtest/gtest.h>

#include <sstream>

#include "tests/vexim/vexim_fixture.h"

namespace {

class VeximBoxOwner : public vexim_test::VeximTest {
  protected:
    // The boxes with their owners, as the transcript names them.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        std::istringstream in(Transcript());
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("msgbox", 0) == 0)
                boxes.push_back(line);
        }
        return boxes;
    }
};

TEST_F(VeximBoxOwner, AnUnattendedRunsBoxesBelongToNoHiddenDialog) {
    const std::string file = WriteSampleObject("sample.vxo");
    const std::string refused = "127.0.0.1:" + std::to_string(RefusingPort());
    const struct {
        std::string line;
        std::string box;
    } cases[] = {
        // Before any window is shown: a box of its own.
        {"1 missing COM1:",
         "msgbox \"Can't open file\" \"missing\\nnor missing.vxo\" icon stop -> OK"},
        // While the progress dialog is up: over it.
        {"1 " + file + " " + refused + " 1 -T5",
         "msgbox \"VEXIM Error\" \"Can't open TCP connection to " + refused +
             "\" icon stop over \"sample.vxo - Downloading File\" -> OK"},
    };
    for (const auto& c : cases) {
        RunVexim(c.line);
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.box}) << c.line;
    }
}

// The same box from the dialog the user works in belongs to that dialog.
TEST_F(VeximBoxOwner, AnInteractiveRunsBoxBelongsToTheMainDialog) {
    RunVexim("-Fmissing", "command 1053\n");
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{
                  "msgbox \"Can't open file\" \"missing\\nnor missing.vxo\" icon stop over \"ZKRT "
                  "File Downloader - 03Dec2020\" -> OK"});
}

}  // namespace
