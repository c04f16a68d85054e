#include "status_translation.h"

#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "narrow_text.h"

#ifdef WI_CLI_GETTEXT
#include <clocale>

#include <libintl.h>
#endif

namespace cli {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Matches format[f..] against line[l..]; the values of the placeholders are appended.
bool MatchFrom(const std::string& format, std::size_t f, const std::string& line, std::size_t l,
               std::vector<std::string>& values) {
    while (f < format.size()) {
        if (format[f] == '%' && f + 1 < format.size() &&
            (format[f + 1] == 's' || format[f + 1] == 'd')) {
            const bool number = format[f + 1] == 'd';
            std::size_t longest = line.size();
            if (number) {
                std::size_t end = l < line.size() && line[l] == '-' ? l + 1 : l;
                while (end < line.size() && IsDigit(line[end])) ++end;
                if (end == l || (line[l] == '-' && end == l + 1)) return false;
                longest = end;
            }
            // The longest reading first; a number is only ever read whole.
            for (std::size_t end = longest + 1; end-- > l;) {
                values.push_back(line.substr(l, end - l));
                if (MatchFrom(format, f + 2, line, end, values)) return true;
                values.pop_back();
                if (number) break;
            }
            return false;
        }
        if (l >= line.size() || format[f] != line[l]) return false;
        ++f;
        ++l;
    }
    return l == line.size();
}

#ifdef WI_CLI_GETTEXT

constexpr char kDomain[] = "webinteractive";
// Longer lines are shown as they are: matching costs more with the length.
constexpr std::size_t kLongestTranslated = 4096;

bool translating = false;

const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// The folder of the compiled catalogs, where the build and an installation put it relative to
// the program's folder ("../share/locale").
std::string CatalogFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::string();
    return (program.parent_path() / WI_CLI_LOCALE_FROM_BIN).lexically_normal().string();
}

std::string Translated(const std::string& utf8) {
    return dgettext(kDomain, utf8.c_str());
}

#endif

}  // namespace

#include "status_catalog_texts.inc"

const std::vector<std::string>& CatalogTexts() {
    static const std::vector<std::string> texts(std::begin(kCatalogTexts), std::end(kCatalogTexts));
    return texts;
}

void ChooseStatusLanguage() {
#ifdef WI_CLI_GETTEXT
    // The messages locale as the C library would choose it, and the languages gettext would try.
    const char* locale = Environment("LC_ALL");
    if (locale == nullptr) locale = Environment("LC_MESSAGES");
    if (locale == nullptr) locale = Environment("LANG");
    const std::string name = locale != nullptr ? locale : "C";
    const bool plain = name == "C" || name == "POSIX" || name.compare(0, 2, "C.") == 0;
    const char* languages = plain ? nullptr : Environment("LANGUAGE");
    const std::string first = languages != nullptr ? languages : name;
    if (first.compare(0, 2, "zh") == 0) return;  // the library's own texts

    // gettext translates only under a messages locale other than C, and tries the languages of
    // LANGUAGE in their order: the user's own first, should a catalog of it come, then English.
    const char* set = std::setlocale(LC_MESSAGES, "");
    if (set == nullptr || std::string(set) == "C" || std::string(set) == "POSIX") {
        set = std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
    if (set == nullptr) return;
    std::string order = languages != nullptr ? languages
                        : plain              ? ""
                                             : name.substr(0, name.find('.'));
    order += order.empty() ? "en" : ":en";
    setenv("LANGUAGE", order.c_str(), 1);
    const std::string folder = CatalogFolder();
    if (folder.empty() || bindtextdomain(kDomain, folder.c_str()) == nullptr ||
        bind_textdomain_codeset(kDomain, "UTF-8") == nullptr) {
        return;
    }
    translating = true;
#endif
}

std::string TranslateStatusLine(const std::string& narrowLine) {
#ifdef WI_CLI_GETTEXT
    if (!translating || narrowLine.size() > kLongestTranslated) return narrowLine;
    std::string utf8;
    if (!NarrowToUtf8(narrowLine, utf8)) return narrowLine;
    for (const std::string& text : CatalogTexts()) {
        std::vector<std::string> values;
        if (!MatchFormat(text, utf8, values)) continue;
        // A value that is itself one of the library's texts ("成功") is translated too.
        for (std::string& value : values) {
            for (const std::string& word : CatalogTexts()) {
                if (value == word) value = Translated(word);
            }
        }
        std::string narrow;
        if (!Utf8ToNarrow(FillFormat(Translated(text), values), narrow)) {
            return narrowLine;
        }
        return narrow;
    }
#endif
    return narrowLine;
}

bool MatchFormat(const std::string& format, const std::string& line,
                 std::vector<std::string>& values) {
    values.clear();
    if (MatchFrom(format, 0, line, 0, values)) return true;
    values.clear();
    return false;
}

std::string FillFormat(const std::string& format, const std::vector<std::string>& values) {
    std::string filled;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() &&
            (format[i + 1] == 's' || format[i + 1] == 'd') && next < values.size()) {
            filled += values[next++];
            ++i;
        } else {
            filled += format[i];
        }
    }
    return filled;
}

}  // namespace cli
