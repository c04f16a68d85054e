// Host files as the test reads and writes them beside the library: narrow paths of the host, in
// the narrow code page.
#include <fstream>
#include <sstream>

#include "support/temp_machine.h"

namespace wi::test {

void TempMachine::WriteHostFile(const std::string& hostPath, const std::string& content) {
    std::ofstream(hostPath, std::ios::binary) << content;
}

std::string TempMachine::ReadHostFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace wi::test
