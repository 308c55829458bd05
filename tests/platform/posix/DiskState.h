#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace vx::test {

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string content(static_cast<std::size_t>(std::filesystem::file_size(path)), '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(in.gcount()));
    return content;
}

// Every entry under `roots`, one line each with its kind, mode, size and a hash of its
// content: two equal fingerprints mean nothing was written, created, removed or left
// behind there. Files are read whole, so the folders should hold small files only.
inline std::string Fingerprint(const std::vector<std::string>& roots) {
    std::set<std::string> lines;
    for (const auto& root : roots) {
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(root))) {
            lines.insert(root + " absent");
            continue;
        }
        std::vector<std::filesystem::path> paths{root};
        for (auto it = std::filesystem::recursive_directory_iterator(root, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            paths.push_back(it->path());
        }
        for (const auto& path : paths) {
            struct stat info {};
            ::lstat(path.c_str(), &info);
            std::string line = path.string() + " mode " + std::to_string(info.st_mode);
            if (S_ISREG(info.st_mode)) {
                const std::string content = ReadWholeFile(path.string());
                line += " size " + std::to_string(content.size()) + " hash " +
                        std::to_string(std::hash<std::string>{}(content));
            }
            lines.insert(line);
        }
    }
    std::string out;
    for (const auto& line : lines) {
        out += line + "\n";
    }
    return out;
}

// The names an interrupted atomic write gives its temporary files, found anywhere under
// `root`.
inline std::vector<std::string> TemporaryFiles(const std::string& root) {
    std::vector<std::string> found;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->path().filename().string().starts_with(".patchkeeper-")) {
            found.push_back(it->path().string());
        }
    }
    return found;
}

}  // namespace vx::test
