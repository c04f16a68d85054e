#include "support/gbk_locale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <langinfo.h>
#include <locale.h>
#include <system_error>

namespace fs = std::filesystem;

namespace wi::test {

namespace {

bool Remember(const char* name, std::string& value) {
    const char* current = std::getenv(name);
    if (current) value = current;
    return current != nullptr;
}

void Restore(const char* name, bool had, const std::string& value) {
    if (had) {
        setenv(name, value.c_str(), 1);
    } else {
        unsetenv(name);
    }
}

}  // namespace

GbkLocale::GbkLocale(Scope scope) {
    if (!fs::exists("/usr/share/i18n/charmaps/GBK.gz") &&
        !fs::exists("/usr/share/i18n/charmaps/GBK")) {
        reason_ = "no GBK charmap (the Debian package locales provides it)";
        return;
    }
    std::string pattern = (fs::temp_directory_path() / "wi-locale-XXXXXX").string();
    if (!mkdtemp(&pattern[0])) {
        reason_ = "cannot make a temporary directory for the locale";
        return;
    }
    directory_ = pattern;
    // -c writes the locale even when localedef warns about the sources.
    const std::string command = "localedef -c -f GBK -i zh_CN '" + directory_ +
                                "/zh_CN.GBK' >/dev/null 2>&1";
    std::system(command.c_str());
    if (!fs::exists(directory_ + "/zh_CN.GBK/LC_CTYPE")) {
        reason_ = "localedef could not build zh_CN.GBK";
        return;
    }
    previousLocale_ = std::setlocale(LC_ALL, nullptr);
    hadLocPath_ = Remember("LOCPATH", previousLocPath_);
    hadLcAll_ = Remember("LC_ALL", previousLcAll_);
    setenv("LOCPATH", directory_.c_str(), 1);
    if (scope == kInCodeOnly) {
        setenv("LC_ALL", "C.UTF-8", 1);
        locale_t gbk = newlocale(LC_CTYPE_MASK, "zh_CN.GBK", nullptr);
        if (!gbk || std::string(nl_langinfo_l(CODESET, gbk)) != "GBK") {
            reason_ = "the C library does not take the built zh_CN.GBK locale";
        }
        if (gbk) freelocale(gbk);
        return;
    }
    setenv("LC_ALL", "zh_CN.GBK", 1);
    if (!std::setlocale(LC_ALL, "") || std::string(nl_langinfo(CODESET)) != "GBK") {
        reason_ = "the C library does not take the built zh_CN.GBK locale";
    }
}

GbkLocale::~GbkLocale() {
    if (!previousLocale_.empty()) {
        Restore("LOCPATH", hadLocPath_, previousLocPath_);
        Restore("LC_ALL", hadLcAll_, previousLcAll_);
        std::setlocale(LC_ALL, previousLocale_.c_str());
    }
    if (!directory_.empty()) {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }
}

}  // namespace wi::test
