// Processes of the test program itself that work at the same moment, for what several processes
// share on one machine (posix only: the children are forked).
//
//   EXPECT_TRUE(wi::test::RunInChildProcesses(2, [](int index) { return Work(index); }));
#pragma once

#include <functional>

namespace wi::test {

// Forks `count` children that each wait until all are there, then run work(index) (index 0 to
// count - 1) and end; their work must not use the test's assertions. While they run, the parent
// calls whileRunning (when given) again and again. True when every child's work returned true.
bool RunInChildProcesses(int count, const std::function<bool(int index)>& work,
                         const std::function<void()>& whileRunning = {});

}  // namespace wi::test
