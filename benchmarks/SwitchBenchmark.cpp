// Figures of a switch of a large archive on real files, beside the anchor measured on the
// same files in the same run: the unsafe overwrite in place (truncate, copy, fsync) that a
// simple switcher does. Figures only; nothing here passes or fails.
//
// The two are timed in pairs, ours then the anchor, each after the same set-up: a fresh live
// archive put on the disk, the freeing of the archive the previous switch replaced waited
// for, and the file system's writeback run dry, so that what the machine still does for one
// side does not land on the other. The figure is the median of the pairs' ratios, with their
// spread; each side's copy and flush are timed on their own too, to show where it comes from.
//   vx_switch_benchmark [MiB] [pairs] [folder] [--each]    (--each: a line for every pair)
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/FileSteps.h"
#include "platform/posix/PosixFiles.h"
#include "support/RecordingProgress.h"

namespace {

namespace fs = std::filesystem;
using vx::posix::FileDescriptor;
using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// How long, in milliseconds since the machine started, some program was ready to run but
// had to wait for a processor (the kernel's pressure figures); 0 where they are not kept.
double ProcessorWaitMilliseconds() {
    std::ifstream pressure("/proc/pressure/cpu");
    for (std::string word; pressure >> word;) {
        if (word.rfind("total=", 0) == 0) {
            return std::stod(word.substr(6)) / 1e3;
        }
    }
    return 0;
}

// The processor time this thread has used, in milliseconds: the kernel's copying counts.
double ThreadCpuMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Waits until the file system holding `folder` has written out everything it holds dirty:
// nothing left over from a set-up or a previous switch is written while the next is timed.
// Caches are left as they are.
void Settle(const fs::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ::syncfs(fd.Get());
}

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

// Where a switch's time goes: the copy (with its reservation and the writing behind it), the
// flush of the file, and the rest (the temporary file, the rename, the folder's flush).
struct Parts {
    double total = 0;
    double clear = 0;  // the anchor's truncation, which frees the old archive's blocks
    double copy = 0;
    double copyCpu = 0;  // the processor time of the copy
    double flush = 0;
    double freeing = 0;    // ours: the deferred close of the old archive, after the switch
    double contended = 0;  // while timed, how long some program waited for a processor
};

// The system's own steps, timed.
struct TimedSteps : vx::posix::FileSteps {
    Parts* parts = nullptr;
    bool fileFlushed = false;
    void Copy(int from, int to, std::int64_t size, const std::string& path,
              vx::CopyProgress& progress) override {
        const auto start = Clock::now();
        const double cpu = ThreadCpuMilliseconds();
        FileSteps::Copy(from, to, size, path, progress);
        parts->copyCpu += ThreadCpuMilliseconds() - cpu;
        parts->copy += MillisecondsSince(start);
    }
    void Flush(int fd, const std::string& path) override {
        const auto start = Clock::now();
        FileSteps::Flush(fd, path);
        if (!fileFlushed) {  // the file's; the folder's follows the rename
            parts->flush += MillisecondsSince(start);
            fileFlushed = true;
        }
    }
};

Parts Ours(const fs::path& mod, const fs::path& live) {
    Parts parts;
    TimedSteps steps;
    steps.parts = &parts;
    auto files = std::make_unique<vx::posix::PosixFiles>(steps);
    vx::test::RecordingProgress progress;
    const double waited = ProcessorWaitMilliseconds();
    const auto start = Clock::now();
    files->ReplaceWithCopy(mod.string(), live.string(), progress);
    parts.total = MillisecondsSince(start);
    parts.contended = ProcessorWaitMilliseconds() - waited;
    const auto freeing = Clock::now();
    files.reset();  // waits for the deferred close of the replaced archive
    parts.freeing = MillisecondsSince(freeing);
    return parts;
}

// What a switcher without care does: the live archive is torn while this runs.
Parts OverwriteInPlace(const fs::path& source, const fs::path& destination) {
    Parts parts;
    const double waited = ProcessorWaitMilliseconds();
    const auto start = Clock::now();
    FileDescriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    FileDescriptor to(::open(destination.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    parts.clear = MillisecondsSince(start);
    struct stat info {};
    ::fstat(from.Get(), &info);
    const auto copy = Clock::now();
    const double cpu = ThreadCpuMilliseconds();
    for (off_t left = info.st_size; left > 0;) {
        const ssize_t n =
            ::copy_file_range(from.Get(), nullptr, to.Get(), nullptr, static_cast<size_t>(left), 0);
        if (n <= 0) {
            std::perror("copy_file_range");
            std::exit(1);
        }
        left -= n;
    }
    parts.copyCpu = ThreadCpuMilliseconds() - cpu;
    parts.copy = MillisecondsSince(copy);
    const auto flush = Clock::now();
    ::fsync(to.Get());
    parts.flush = MillisecondsSince(flush);
    parts.total = MillisecondsSince(start);
    parts.contended = ProcessorWaitMilliseconds() - waited;
    return parts;
}

struct Spread {
    double median, low, high, q1, q3;
};

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        // The interpolated quantile, as a spreadsheet's QUARTILE.INC gives it.
        const double place = q * static_cast<double>(values.size() - 1);
        const auto below = static_cast<std::size_t>(place);
        const std::size_t above = std::min(below + 1, values.size() - 1);
        return values[below] +
               (values[above] - values[below]) * (place - static_cast<double>(below));
    };
    return {at(0.5), values.front(), values.back(), at(0.25), at(0.75)};
}

template <typename Field>
void ReportPart(const char* name, const std::vector<Parts>& all, Field field) {
    std::vector<double> values;
    values.reserve(all.size());
    for (const Parts& parts : all) {
        values.push_back(parts.*field);
    }
    const Spread s = SpreadOf(values);
    std::printf("    %-26s %9.1f ms   (%.1f-%.1f)\n", name, s.median, s.low, s.high);
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::stoul(argv[1]) : 1024;
    const int pairs = argc > 2 ? std::stoi(argv[2]) : 9;
    const fs::path base = argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path();
    const bool each = argc > 4 && std::string(argv[4]) == "--each";
    std::string pattern = (base / "vx-switch-bench-XXXXXX").string();
    const fs::path game = ::mkdtemp(pattern.data());
    const fs::path live = game / "patch_vx.zpk";
    const fs::path mod = game / "mod.zpk";
    WriteArchive(mod, mib, 'm');

    // Both sides start from a fresh live archive on the disk and nothing left to write.
    const auto setUp = [&] {
        WriteArchive(live, mib, 'o');
        Settle(game);
    };
    std::vector<Parts> ours;
    std::vector<Parts> anchor;
    std::vector<double> ratios;
    ours.reserve(static_cast<std::size_t>(pairs));
    anchor.reserve(static_cast<std::size_t>(pairs));
    ratios.reserve(static_cast<std::size_t>(pairs));
    for (int i = 0; i < pairs; ++i) {
        setUp();
        ours.push_back(Ours(mod, live));
        setUp();
        anchor.push_back(OverwriteInPlace(mod, live));
        ratios.push_back(ours.back().total / anchor.back().total);
        if (each) {
            const Parts& o = ours.back();
            const Parts& a = anchor.back();
            std::printf(
                "  pair %d: ours %.1f ms (copy %.1f, on a processor %.1f; flush %.1f; "
                "freeing after %.1f; others waited %.1f), anchor %.1f ms (truncate %.1f, "
                "copy %.1f, on a processor %.1f; fsync %.1f; others waited %.1f), "
                "ratio %.2f\n",
                i + 1, o.total, o.copy, o.copyCpu, o.flush, o.freeing, o.contended, a.total,
                a.clear, a.copy, a.copyCpu, a.flush, a.contended, ratios.back());
        }
    }
    const std::string size = std::to_string(mib) + " MiB";
    const Spread ratio = SpreadOf(ratios);
    std::printf("Switch %s (%s), %d pairs, each side's median and range:\n", size.c_str(),
                base.c_str(), pairs);
    ReportPart("ours", ours, &Parts::total);
    ReportPart("  copy", ours, &Parts::copy);
    ReportPart("    on a processor", ours, &Parts::copyCpu);
    ReportPart("  flush", ours, &Parts::flush);
    ReportPart("  freeing, after the switch", ours, &Parts::freeing);
    ReportPart("  some program kept waiting", ours, &Parts::contended);
    ReportPart("anchor: overwrite + fsync", anchor, &Parts::total);
    ReportPart("  truncate", anchor, &Parts::clear);
    ReportPart("  copy", anchor, &Parts::copy);
    ReportPart("    on a processor", anchor, &Parts::copyCpu);
    ReportPart("  fsync", anchor, &Parts::flush);
    ReportPart("  some program kept waiting", anchor, &Parts::contended);
    std::printf(
        "  ratio, median of the pairs' %.2f (%.2f-%.2f, quartiles %.2f-%.2f)   "
        "target <= 0.80 (<= 50 ms where the file system clones)\n",
        ratio.median, ratio.low, ratio.high, ratio.q1, ratio.q3);
    fs::remove_all(game);
    return 0;
}
