// Event objects: manual and automatic reset, pointers that are no event, other threads.
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "platform/events.h"

namespace wi::platform {
namespace {

TEST(Events, ManualResetStaysSignalledUntilReset) {
    void* event = CreateEventObject(true, false);
    EXPECT_FALSE(IsEventSignalled(event));
    EXPECT_TRUE(SetEventObject(event));
    EXPECT_TRUE(IsEventSignalled(event));
    EXPECT_TRUE(IsEventSignalled(event));
    EXPECT_TRUE(ResetEventObject(event));
    EXPECT_FALSE(IsEventSignalled(event));
    CloseEventObject(event);
}

TEST(Events, AutoResetIsConsumedByOnePositiveTest) {
    void* event = CreateEventObject(false, true);
    EXPECT_TRUE(IsEventSignalled(event));
    EXPECT_FALSE(IsEventSignalled(event));
    SetEventObject(event);
    EXPECT_TRUE(IsEventSignalled(event));
    EXPECT_FALSE(IsEventSignalled(event));
    CloseEventObject(event);
}

TEST(Events, PointersThatAreNoLiveEventAreNeverSignalled) {
    int notAnEvent = 1;
    EXPECT_FALSE(IsEventSignalled(nullptr));
    EXPECT_FALSE(IsEventSignalled(&notAnEvent));
    EXPECT_FALSE(SetEventObject(&notAnEvent));
    EXPECT_FALSE(ResetEventObject(nullptr));
    CloseEventObject(&notAnEvent);  // ignored
    EXPECT_EQ(notAnEvent, 1);

    void* event = CreateEventObject(true, true);
    CloseEventObject(event);
    EXPECT_FALSE(IsEventSignalled(event));
    EXPECT_FALSE(SetEventObject(event));
    CloseEventObject(event);  // a second close is harmless
}

TEST(Events, SetFromAnotherThreadIsSeen) {
    const int kRounds = 50;
    void* event = CreateEventObject(false, false);
    std::atomic<int> seen{0};
    std::thread tester([&] {
        while (seen.load() < kRounds) {
            if (IsEventSignalled(event)) seen.fetch_add(1);
        }
    });
    // Each set is seen exactly once by the auto-reset tests of the other thread. A set that is
    // lost fails the test (after a hang guard of half a minute) instead of waiting for ever.
    bool eachSeenOnce = true;
    for (int round = 0; round < kRounds && eachSeenOnce; ++round) {
        eachSeenOnce = SetEventObject(event);
        const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (eachSeenOnce && seen.load() == round) {
            if (std::chrono::steady_clock::now() > guard) {
                ADD_FAILURE() << "set number " << round << " was never seen";
                eachSeenOnce = false;
            }
            std::this_thread::yield();
        }
        eachSeenOnce = eachSeenOnce && seen.load() == round + 1;
    }
    seen.store(kRounds);  // stops the tester in any case
    tester.join();
    EXPECT_TRUE(eachSeenOnce);
    CloseEventObject(event);
}

}  // namespace
}  // namespace wi::platform
