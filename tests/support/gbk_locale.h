// The process in a GBK locale (zh_CN.GBK, the narrow code page of Chinese Windows) for one test.
// The locale is built with localedef into a temporary LOCPATH; the C library's locale and the
// LC_ALL and LOCPATH variables (which programs the test starts inherit) switch to it, and the
// destructor puts all three back and removes the build.
//
//   GbkLocale gbk;
//   if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
//
// With kInCodeOnly the locale is only built and made findable (LOCPATH), the environment says
// UTF-8 (LC_ALL=C.UTF-8) and the C library's locale stays as it was: the test switches to
// "zh_CN.GBK" itself with setlocale or uselocale, as a host does in code. (Windows: the code page
// is the process's either way.)
#pragma once

#include <string>

namespace wi::test {

class GbkLocale {
public:
    enum Scope { kEnvironmentAndProcess, kInCodeOnly };

    explicit GbkLocale(Scope scope = kEnvironmentAndProcess);
    ~GbkLocale();
    GbkLocale(const GbkLocale&) = delete;
    GbkLocale& operator=(const GbkLocale&) = delete;

    bool Active() const { return reason_.empty(); }
    // Why the locale could not be had (localedef or the GBK charmap missing); "" when active.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
    std::string directory_;
    std::string previousLocale_;
    bool hadLocPath_ = false, hadLcAll_ = false;
    std::string previousLocPath_, previousLcAll_;
};

}  // namespace wi::test
