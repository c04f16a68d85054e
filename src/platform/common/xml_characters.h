// The characters a document of either XML backend may hold.
#pragma once

#include <algorithm>
#include <type_traits>

namespace wi::xml {

// The text (UTF-8 or UTF-16) without the control characters XML 1.0 cannot carry, all but tab,
// line feed and carriage return: an XML library would write them raw, and the file would not
// read back. Their code units never occur inside a longer sequence of either encoding.
template <typename Text>
Text XmlCharactersOnly(Text text) {
    using Unit = typename Text::value_type;
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](Unit c) {
                                  const auto code = static_cast<std::make_unsigned_t<Unit>>(c);
                                  return code < 0x20 && c != Unit('\t') && c != Unit('\n') &&
                                         c != Unit('\r');
                              }),
               text.end());
    return text;
}

}  // namespace wi::xml
