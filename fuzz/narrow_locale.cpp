// Every fuzz target takes the locale of its environment before it reads its first input, as a
// host does, so that one build runs in UTF-8 (LC_ALL=C.UTF-8) and in a double-byte narrow code
// page (LC_ALL=zh_CN.GBK with a LOCPATH that holds it; scripts/fuzz.sh builds one).
#include <clocale>

namespace {

const bool kLocaleTaken = std::setlocale(LC_ALL, "") != nullptr;

}  // namespace
