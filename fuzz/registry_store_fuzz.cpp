// Fuzz target for the posix registry store file: any bytes must be read without a crash and be
// written back unchanged; a value set in it reads back once and exactly as set, a removed one not
// at all, and no other value changes.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/registry_store.h"

namespace {

using wi::platform::posix::RegistryStore;
using wi::platform::posix::StoredValue;

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The values of that key and name (ASCII letter case aside), with that type and data if exact.
int Count(const std::vector<StoredValue>& values, const StoredValue& wanted, bool exact) {
    int count = 0;
    for (const StoredValue& value : values) {
        if (SameName(value.key, wanted.key) && SameName(value.name, wanted.name) &&
            (!exact || (value.type == wanted.type && value.data == wanted.data))) {
            ++count;
        }
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RegistryStore store(text);
    const std::string written = store.Text();
    if (written != text && written != text + "\n") std::abort();
    const std::vector<StoredValue> values = store.Values();
    if (RegistryStore(written).Values().size() != values.size()) std::abort();

    // The value set: a name and data made of the input's first bytes, whatever they are.
    StoredValue value;
    value.key = "HKEY_USERS\\Fuzz";
    value.name = text.substr(0, 8);
    value.type = size > 8 ? static_cast<signed char>(data[8]) : 0;
    value.data = text.substr(size / 2, 16);
    if (!store.Set(value)) std::abort();
    const std::vector<StoredValue> afterSet = RegistryStore(store.Text()).Values();
    if (Count(afterSet, value, true) != 1) std::abort();
    if (afterSet.size() != values.size() + 1 - Count(values, value, false)) std::abort();

    store.Remove(value.key, value.name);
    const std::vector<StoredValue> afterRemove = RegistryStore(store.Text()).Values();
    if (Count(afterRemove, value, false) != 0) std::abort();
    return 0;
}
