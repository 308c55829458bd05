// Prints how long the commands take on real files and the real store: a switch of large
// archives, and a list rebuild over many entries. Figures only; nothing here passes or fails.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/VXModMain.h"
#include "platform/posix/PosixPlatform.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void WriteArchive(const std::filesystem::path& path, std::size_t mib, char fill) {
    std::ofstream out(path, std::ios::binary);
    const std::string block(1 << 20, fill);
    for (std::size_t i = 0; i < mib; ++i) {
        out << block;
    }
}

struct NullLabel : vx::Label {
    std::string caption;
    std::string Caption() const override { return caption; }
    void SetCaption(const std::string& c) override { caption = c; }
};
struct NullList : vx::ListBox {
    std::vector<std::string> items;
    int selected = -1;
    void Clear() override { items.clear(); }
    void AddItem(const std::string& item) override { items.push_back(item); }
    int ItemCount() const override { return static_cast<int>(items.size()); }
    std::string Item(int i) const override { return items.at(static_cast<std::size_t>(i)); }
    int SelectedIndex() const override { return selected; }
};
struct NullBoxes : vx::MessageBoxes {
    void Show(const std::string&, const std::string&) override {}
};
struct NullDialog : vx::OpenFileDialog {
    void SetFileMustExist(bool) override {}
    void SetFilter(const std::vector<vx::FileType>&) override {}
    void ShowOpen() override {}
    std::string FileName() const override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::stoul(argv[1]) : 256;
    const int entries = argc > 2 ? std::stoi(argv[2]) : 500;

    std::string pattern = (std::filesystem::temp_directory_path() / "vx-bench-XXXXXX").string();
    const std::filesystem::path game = ::mkdtemp(pattern.data());
    vx::posix::PosixPlatform platform(game / "config");
    vx::Startup startup(platform);
    startup.SetGamePath(game.string());
    std::filesystem::create_directory(game / "mods");

    WriteArchive(game / "patch_vx.zpk", mib, 'o');
    WriteArchive(game / "mod.zpk", mib, 'm');
    const std::string live = startup.Paths().PatchPath;
    const std::string backup = (game / "mods/NORMAL_patch_vx.zpk").string();
    platform.CopyFileIfAbsent(live, backup);
    for (const std::string& source : {(game / "mod.zpk").string(), backup}) {
        const auto start = Clock::now();
        platform.ReplaceFile(source, live);
        const double seconds = SecondsSince(start);
        std::printf("switch %zu MiB: %.3f s (%.0f MiB/s)\n", mib, seconds,
                    static_cast<double>(mib) / seconds);
    }

    NullLabel label;
    NullList list;
    NullBoxes boxes;
    NullDialog dialog;
    vx::VXModMain main(startup.Paths(), platform, boxes, {label, list, dialog});
    for (int i = 1; i <= entries; ++i) {
        platform.SaveSetting("Vexmoor Patchkeeper", "mods", std::to_string(i),
                             (game / "mod.zpk").string());
    }
    auto start = Clock::now();
    main.RefreshModList(static_cast<std::int16_t>(entries));
    std::printf("list rebuild, %d entries: %.3f s\n", entries, SecondsSince(start));

    platform.SaveSetting("Vexmoor Patchkeeper", "settings", "mods", std::to_string(entries));
    list.selected = 0;
    start = Clock::now();
    main.Command1Click();
    std::printf("remove the first of %d entries: %.3f s\n", entries, SecondsSince(start));

    std::filesystem::remove_all(game);
    return 0;
}
