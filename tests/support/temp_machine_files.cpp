// Host files as the test reads and writes them beside the library: narrow paths of the host, in
// the narrow code page.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_machine.h"

namespace wi::test {

void TempMachine::WriteHostFile(const std::string& hostPath, const std::string& content) {
    std::ofstream(hostPath, std::ios::binary) << content;
}

std::vector<std::string> TempMachine::Tree(const std::string& windowsFolder) const {
    namespace fs = std::filesystem;
    const fs::path base = HostPath(windowsFolder);
    std::vector<std::string> tree;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(base, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::string name = it->path().lexically_relative(base).string();
        std::replace(name.begin(), name.end(), '/', '\\');
        if (it->is_directory(error)) name += '\\';
        tree.push_back(name);
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

std::string TempMachine::ReadHostFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace wi::test
