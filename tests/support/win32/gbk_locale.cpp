// Under Wine the narrow code page is the process's, fixed when it starts: the Windows test run
// starts every test program in code page 936 (LANG=zh_CN.UTF-8 with the locale it builds).
#include "platform/codepage.h"
#include "support/gbk_locale.h"

namespace wi::test {

GbkLocale::GbkLocale(Scope) {
    if (platform::NarrowCodeset() != "CP936") {
        reason_ = "the narrow code page is " + platform::NarrowCodeset() +
                  ", not 936: run the Windows tests through ctest, which starts them in 936";
    }
}

GbkLocale::~GbkLocale() = default;

}  // namespace wi::test
