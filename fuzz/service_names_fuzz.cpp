// Fuzz target for the reference service's resolution of the names clients send into its data
// directory (/files/NAME, /install?filename=NAME, the GUID and code of /softfile, the GUID of a
// placed list): any name resolves to nothing or to a regular file inside the area asked for, never
// to the file outside it that a link inside points at.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "data_dir.h"

namespace {

namespace fs = std::filesystem;

// A data directory with files, a folder, links pointing out of the area and a secret beside it,
// made once for the run.
struct Layout {
    Layout() {
        root = fs::temp_directory_path() /
               ("wi-service-names-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(root / "files/sub");
        fs::create_directories(root / "filelists");
        std::ofstream(root / "secret") << "outside";
        std::ofstream(root / "files/a.txt") << "a";
        std::ofstream(root / "files/sub/b.txt") << "b";
        std::ofstream(root / "filelists/{G}.xml") << "<softwares/>";
        std::error_code ignored;
        fs::create_symlink(root / "secret", root / "files/out", ignored);
        fs::create_symlink("../secret", root / "files/sub/up", ignored);
        fs::create_directory_symlink(root, root / "files/whole", ignored);
        fs::create_directory_symlink("sub", root / "files/inside", ignored);
        data = std::make_unique<wi::service::DataDir>(root);
    }
    ~Layout() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    fs::path root;
    std::unique_ptr<wi::service::DataDir> data;
};

void Check(const Layout& layout, const std::string& area, const std::string& name) {
    const auto found = layout.data->FileIn(area, name);
    if (!found) return;
    const std::string base = fs::canonical(layout.root / area).string() + "/";
    const std::string path = fs::canonical(*found).string();
    if (path.compare(0, base.size(), base) != 0 || !fs::is_regular_file(path)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Layout layout;
    const std::string name(reinterpret_cast<const char*>(data), size);
    Check(layout, "files", name);
    Check(layout, "files", "softfiles/" + name + "/F01");
    Check(layout, "filelists", name + ".xml");
    return 0;
}
