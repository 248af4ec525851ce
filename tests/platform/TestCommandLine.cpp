#include "platform/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, SplitsCommandLinesLikeTheBatchInterpreter)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(CommandLine::split("\"/a b/AVI.exe\" -o  \"/x y.avi\""), (V{"/a b/AVI.exe", "-o", "/x y.avi"}));
    EXPECT_EQ(CommandLine::split("plain /x\\y \"\""), (V{"plain", "/x\\y", ""}));
    EXPECT_TRUE(CommandLine::split("   ").empty());
}
