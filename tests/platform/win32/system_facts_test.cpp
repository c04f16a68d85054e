// What a Windows machine tells about itself.
#include <gtest/gtest.h>

#include "platform/system_info.h"

namespace wi::platform {
namespace {

TEST(WindowsSystemFacts, TellTheVersionProcessorsAndMemory) {
    const SystemFacts facts = CollectSystemFacts();
    EXPECT_NE(facts.osName, "");
    EXPECT_EQ(facts.kernelName, "Windows NT");
    // "major.minor" and "major.minor.build", from the kernel whatever the program's manifest.
    EXPECT_EQ(facts.kernelRelease.compare(0, facts.osVersion.size() + 1, facts.osVersion + "."), 0)
        << facts.osVersion << " / " << facts.kernelRelease;
    EXPECT_NE(facts.osVersion.find('.'), std::string::npos);
    EXPECT_EQ(facts.architecture, "x86_64");
    EXPECT_GT(facts.processorCount, 0);
    EXPECT_GT(facts.memoryAvailable, 0);
    EXPECT_GE(facts.memoryTotal, facts.memoryAvailable);
}

}  // namespace
}  // namespace wi::platform
