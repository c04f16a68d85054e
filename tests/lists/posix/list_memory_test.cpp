// The memory a list reader takes stays in proportion to the answer: the peak of a process that
// reads a hostile 8 MB file list, measured by the kernel, against that of one that reads nothing.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "../list_test_support.h"
#include "webinteractive/lists.h"

namespace {

class ListMemoryTest : public wi::test::ListTest {
protected:
    // The peak resident size (KiB) of a child process that runs the work and then ends; -1 when
    // the work fails (it answers false) or the child does not end normally.
    template <typename Work>
    static long ChildPeakKiB(Work work) {
        const pid_t child = fork();
        if (child == 0) _exit(work() ? 0 : 1);
        int status = 0;
        rusage usage{};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            return -1;
        }
        return usage.ru_maxrss;
    }
};

// 800,000 empty versions: every one would be a record of about 1 KiB, 110 times the answer.
TEST_F(ListMemoryTest, AHostileFileListPeaksBelowFortyTimesItsSize) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's shadow memory makes the peak meaningless";
#endif
    std::string answer = "<softwares><software>";
    for (int i = 0; i < 800000; ++i) answer += "<Version/>";
    answer += "</software></softwares>";
    const std::string url = ServeText("versions.xml", answer);
    answer = std::string();

    const long idle = ChildPeakKiB([] { return true; });
    const long reading = ChildPeakKiB([&url] {
        int locked = 42;
        return IWebInteractive::DownloadFileList(url.c_str(), "{G}", "", "", locked, nullptr)
                   .empty() &&
               locked == 42;
    });
    ASSERT_GT(idle, 0);
    ASSERT_GT(reading, 0);
    const double ratio = (reading - idle) * 1024.0 / 8000044;
    std::printf("peak %ld KiB above an idle child's: %.1f times the answer\n", reading - idle,
                ratio);
    EXPECT_LT(ratio, 40.0);
}

}  // namespace
