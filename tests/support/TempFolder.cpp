#include "support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>

#include "state/TemporaryName.h"

namespace vx::test {

namespace fs = std::filesystem;

static std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

fs::path NativePath(std::string_view utf8) {
    return std::u8string(utf8.begin(), utf8.end());
}

TempFolder::TempFolder() {
    do {
        path_ = fs::temp_directory_path() / ("vx-test-" + std::to_string(std::random_device{}()));
    } while (!fs::create_directory(path_));
    utf8_ = Utf8Of(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Neither a read-only file nor a folder closed to writing may keep its content here.
    for (auto it = fs::recursive_directory_iterator(NativePath(utf8_), ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(NativePath(utf8_), ignored);
}

std::string TempFolder::operator/(std::string_view name) const {
    return utf8_ + static_cast<char>(fs::path::preferred_separator) + std::string(name);
}

bool WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(NativePath(path), std::ios::binary);
    return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> Snapshot(const std::string& root) {
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(NativePath(root))) {
        const fs::file_status status = entry.symlink_status();
        const std::string path = Utf8Of(entry.path());
        const std::string content = fs::is_regular_file(status) ? ReadFile(path) : "";
        entries.insert(path + " " + std::to_string(static_cast<int>(status.type())) + " " +
                       std::to_string(static_cast<unsigned>(status.permissions())) + " " +
                       std::to_string(std::hash<std::string>{}(content)));
    }
    return entries;
}

std::vector<std::string> Leftovers(const std::string& root) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(NativePath(root))) {
        if (Utf8Of(entry.path().filename()).starts_with(kTemporaryPrefix)) {
            found.push_back(Utf8Of(entry.path()));
        }
    }
    return found;
}

}  // namespace vx::test
