// The fixture documents of a test program: the files of its module's folder
// tests/<module>/fixtures, which the build names in WI_TEST_FIXTURES.
#pragma once

#include <string>

#include "support/temp_machine.h"

namespace wi::test {

// The bytes of the fixture file of this name ("" when there is none).
inline std::string Fixture(const std::string& name) {
    return TempMachine::ReadHostFile(std::string(WI_TEST_FIXTURES) + "/" + name);
}

}  // namespace wi::test
