// Figures of a switch of a large archive on real files, beside the anchor measured on the
// same files in the same run: the unsafe overwrite in place (truncate, copy, fsync) that a
// simple switcher does. Figures only; nothing here passes or fails.
//   vx_switch_benchmark [MiB] [runs] [folder]
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "Timing.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/PosixFiles.h"
#include "support/RecordingProgress.h"

namespace {

namespace fs = std::filesystem;
using vx::posix::FileDescriptor;

void WriteArchive(const fs::path& path, std::size_t mib, char fill) {
    std::ofstream out(path, std::ios::binary);
    const std::string block(std::size_t{1} << 20, fill);
    for (std::size_t i = 0; i < mib; ++i) {
        out << block;
    }
    out.close();
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    ::fsync(fd.Get());
}

// What a switcher without care does: the live archive is torn while this runs.
void OverwriteInPlace(const fs::path& source, const fs::path& destination) {
    FileDescriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    FileDescriptor to(::open(destination.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    struct stat info {};
    ::fstat(from.Get(), &info);
    for (off_t left = info.st_size; left > 0;) {
        const ssize_t n =
            ::copy_file_range(from.Get(), nullptr, to.Get(), nullptr, static_cast<size_t>(left), 0);
        if (n <= 0) {
            std::perror("copy_file_range");
            std::exit(1);
        }
        left -= n;
    }
    ::fsync(to.Get());
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::stoul(argv[1]) : 1024;
    const int runs = argc > 2 ? std::stoi(argv[2]) : 5;
    const fs::path base = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
    std::string pattern = (base / "vx-switch-bench-XXXXXX").string();
    const fs::path game = ::mkdtemp(pattern.data());
    const fs::path live = game / "patch_vx.zpk";
    const fs::path mod = game / "mod.zpk";
    WriteArchive(mod, mib, 'm');

    const auto freshLive = [&] { WriteArchive(live, mib, 'o'); };
    double ours = 0;
    {
        vx::posix::PosixFiles files;
        vx::test::RecordingProgress progress;
        ours = vx::bench::MedianMilliseconds(
            runs, freshLive, [&] { files.ReplaceWithCopy(mod.string(), live.string(), progress); });
    }  // the deferred close of the last replaced archive ends here
    const double anchor =
        vx::bench::MedianMilliseconds(runs, freshLive, [&] { OverwriteInPlace(mod, live); });
    const std::string size = std::to_string(mib) + " MiB";
    vx::bench::Report(("Switch " + size + " (" + base.string() + ")").c_str(), ours, "");
    vx::bench::Report(("  anchor: overwrite in place + fsync, " + size).c_str(), anchor, "");
    std::printf("  ratio %.2f   target <= 0.80 (<= 50 ms where the file system clones)\n",
                ours / anchor);
    fs::remove_all(game);
    return 0;
}
