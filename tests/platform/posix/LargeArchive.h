#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace vx::test {

// Writes an archive of `size` bytes whose every 4 KiB block starts with `id` and the
// block's number, over pseudo-random filler: two archives of different ids differ in every
// block, so no mix of their parts can equal either of them.
inline void MakeArchive(const std::string& path, std::uint64_t id, std::uint64_t size) {
    constexpr std::size_t kBlock = 4096;
    constexpr std::size_t kChunk = 4 << 20;
    std::vector<char> chunk(kChunk);
    std::mt19937_64 random(id);
    for (std::size_t i = 0; i < kChunk; i += sizeof(std::uint64_t)) {
        const std::uint64_t word = random();
        std::memcpy(chunk.data() + i, &word, sizeof word);
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot create " + path);
    }
    std::uint64_t written = 0;
    while (written < size) {
        for (std::size_t block = 0; block < kChunk; block += kBlock) {
            const std::uint64_t stamp[2] = {id, (written + block) / kBlock};
            std::memcpy(chunk.data() + block, stamp, sizeof stamp);
        }
        const std::size_t part =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - written));
        if (::write(fd, chunk.data(), part) != static_cast<ssize_t>(part)) {
            ::close(fd);
            throw std::runtime_error("cannot write " + path);
        }
        written += part;
    }
    ::close(fd);
}

// True when the two files hold the same bytes; sizes are compared before any content.
inline bool SameBytes(const std::string& a, const std::string& b) {
    struct File {
        explicit File(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
            struct stat info {};
            ok = fd >= 0 && ::fstat(fd, &info) == 0;
            size = ok ? static_cast<std::size_t>(info.st_size) : 0;
        }
        ~File() {
            if (data != nullptr && data != MAP_FAILED) {
                ::munmap(data, size);
            }
            if (fd >= 0) {
                ::close(fd);
            }
        }
        bool Map() {
            data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            return data != MAP_FAILED;
        }
        int fd;
        bool ok = false;
        std::size_t size = 0;
        void* data = nullptr;
    };
    File first(a);
    File second(b);
    if (!first.ok || !second.ok || first.size != second.size) {
        return false;
    }
    return first.size == 0 ||
           (first.Map() && second.Map() && std::memcmp(first.data, second.data, first.size) == 0);
}

}  // namespace vx::test
