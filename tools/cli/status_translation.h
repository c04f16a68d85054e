// The library's status lines in the user's language. The library's texts are Chinese; where the
// user's language is not, a line in the form of one of them is shown in the English of the CLI's
// message catalog (gettext, domain "webinteractive", tools/cli/po/en.po), the values it carries
// kept. Under a Chinese locale, where no catalog is installed (and on Windows, which has no
// gettext), and for any other line, the line stays as the library sent it.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Looks at the user's locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) and readies the catalog that
// lies in the locale folder of the program's installation ("../share/locale" from its folder).
// Once, before any line is shown.
void ChooseStatusLanguage();

// The line in the chosen language; the line itself when it stays.
std::string TranslateStatusLine(const std::string& narrowLine);

// True when the line has the form of the format (its "%s" any text, its "%d" a whole number),
// with the values in `values`; where a value can be read two ways, the earlier ones take the
// longest. `FillFormat` puts values back into a format, in order.
bool MatchFormat(const std::string& format, const std::string& line,
                 std::vector<std::string>& values);
std::string FillFormat(const std::string& format, const std::vector<std::string>& values);

// The library's texts the catalog translates (UTF-8), as the catalog lists them.
const std::vector<std::string>& CatalogTexts();

}  // namespace cli
