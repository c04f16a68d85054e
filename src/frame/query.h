// Values and parameters of request addresses.
#pragma once

#include <string>

namespace wi::frame {

// Percent-encodes every byte that is not an ASCII letter or digit as "%" and two lower-case
// hexadecimal digits ("a b.c" -> "a%20b%2ec"). Changes the value in place and returns it.
std::string& EncodeQueryValue(std::string& value);

// Joins a parameter ("name=value") to an address: with "&" when the address already holds a
// "?", else with "?".
std::string AppendQueryParameter(const std::string& address, const std::string& parameter);
// The same, looking only at the first "?": one at the very start of the address counts as none.
// The system-information upload and the user-information reading join their parameters so.
std::string AppendQueryParameterFirstMarkOnly(const std::string& address,
                                              const std::string& parameter);

}  // namespace wi::frame
