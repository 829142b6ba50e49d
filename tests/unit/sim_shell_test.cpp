#include "platform/sim/sim_shell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zub;

TEST(SimShell, OpensOnlyWhatTheTestAllowsAndRecordsEveryRequest) {
    SimShell shell;
    EXPECT_FALSE(opened(shell.open("anything")));
    EXPECT_EQ(shell.open("anything"), shell_result::kFileNotFound);

    shell.setResult("/home", shell_result::kOpened);
    shell.setResult("broken", shell_result::kNoAssociation);
    EXPECT_TRUE(opened(shell.open("/home")));
    EXPECT_EQ(shell.open("broken"), shell_result::kNoAssociation);
    // Byte for byte: no case folding, no trimming.
    EXPECT_FALSE(opened(shell.open("/HOME")));
    EXPECT_FALSE(opened(shell.open("/home ")));
    EXPECT_FALSE(opened(shell.open(std::string_view("/home\0x", 7))));

    shell.setOtherResult(shell_result::kOpened);
    EXPECT_TRUE(opened(shell.open("elsewhere")));
    shell.setResult("/home", 5);
    EXPECT_FALSE(opened(shell.open("/home")));

    EXPECT_EQ(shell.requests(), (std::vector<std::string>{
                                    "anything", "anything", "/home", "broken", "/HOME", "/home ",
                                    std::string("/home\0x", 7), "elsewhere", "/home"}));
    shell.clearRequests();
    EXPECT_TRUE(shell.requests().empty());
}
