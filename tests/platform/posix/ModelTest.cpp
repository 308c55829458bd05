// Random sequences of what a user and the world do (start the program, add, remove, switch,
// delete an archive behind its back or put one back) run on real files and the real store,
// and compared after every step with a model of what must hold. A failure prints the seed
// and the steps up to the first difference. VX_MODEL_STEPS, VX_MODEL_RUN_STEPS,
// VX_MODEL_SECONDS and VX_SEED set the load.

#include <strings.h>

#include <cctype>
#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <random>

#include "Support.h"
#include "platform/posix/IniFormat.h"

namespace vx::test {
namespace {

// What the program must do, over plain values, written from what it is meant to do and not
// from its code: the store as a map, files as their contents, the window as strings.
struct Model {
    std::string live, backup, keptStem;
    std::map<std::string, std::string> files;  // absent when deleted
    int count = 0;
    std::map<int, std::string> entries;
    std::vector<std::string> items;
    std::string label;
    std::vector<std::pair<std::string, std::string>> boxes;

    std::string Entry(int i) const { return entries.contains(i) ? entries.at(i) : ""; }
    bool Same(const std::string& a, const std::string& b) const {
        return ::strcasecmp(a.c_str(), b.c_str()) == 0;  // the model's differ in ASCII only
    }
    // The backup is made only where nothing stands, from a live archive that exists, and
    // registered only once it is made; nothing else is done before it.
    bool BackedUp() {
        if (count == 0 && !files.contains(backup) && !files.contains(live)) {
            return false;
        }
        if (count == 0) {
            files.try_emplace(backup, files.contains(live) ? files[live] : "");
            entries[count = 1] = backup;
        }
        return true;
    }
    void Start() {
        items.clear();
        label = "$Current Mod$";
        if (BackedUp()) {
            Refresh();
        }
    }
    // A live archive of a size no other entry has is kept under the first free name first.
    void Switch(int item) {
        if (item < 0) {
            boxes.emplace_back("Select something!", "Select Something");
            return;
        }
        const std::string source = items.at(std::size_t(item));
        bool known = !files.contains(live);
        for (int i = 1; i <= count && !known; ++i) {
            known = !Same(Entry(i), live) && files.contains(Entry(i)) &&
                    files[Entry(i)].size() == files[live].size();
        }
        if (!files.contains(source)) {
            return;
        }
        if (!Same(source, live) && !known) {
            std::string kept = keptStem + ".zpk";
            for (int n = 2; files.contains(kept); ++n) {
                kept = keptStem + "-" + std::to_string(n) + ".zpk";
            }
            files[kept] = files[live];
            entries[++count] = kept;
            boxes.emplace_back(
                "The game's patch archive matched none of your mods; it was kept as " + kept +
                    " before switching.",
                "Vexmoor Patchkeeper");
        }
        files[live] = files[source];
        Refresh();
    }
    void Add(const std::string& chosen) {
        if (count == 0 && BackedUp()) {
            Refresh();
        }
        for (int i = 1; i <= count; ++i) {
            if (Same(Entry(i), chosen)) {
                return;
            }
        }
        if (!chosen.empty() && count > 0) {
            entries[++count] = chosen;
            Refresh();
        }
    }
    // Later entries move down one place; the last takes what lay beyond it (nothing).
    void Remove(int item) {
        for (int j = item + 1; item >= 0 && j <= count; ++j) {
            entries[j] = Entry(j + 1);
        }
        count -= item >= 0 && item < count ? 1 : 0;
        Refresh();
    }
    // An entry whose file is gone is pointed at the live archive after a box, and the list
    // is built again. Without a live archive nothing is compared or repaired: one box.
    void Refresh() {
        const bool haveLive = files.contains(live);
        for (bool repaired = true; repaired;) {
            repaired = false;
            items.clear();
            for (int i = 1; i <= count; ++i) {
                std::string path = Entry(i);
                if (haveLive && !files.contains(path)) {
                    boxes.emplace_back("File not found " + path, "Could not find file");
                    entries[i] = path = live;
                    repaired = true;
                }
                if (haveLive && files[path].size() == files[live].size()) {
                    label = std::filesystem::path(path).filename().string();
                }
                items.push_back(path);
            }
        }
        if (!haveLive && count >= 1) {
            boxes.emplace_back("File not found " + live, "Could not find file");
        }
    }
};

enum Kind { kStart, kAdd, kRemove, kSwitch, kDelete, kRecreate };

struct World : Install {
    World() {
        steps.flush = false;  // whether data reaches the disk is the kill test's matter
        // Paths of every kind the store must keep exactly: not UTF-8, a line break, blanks at
        // either end, quotes and the INI's own signs, a Windows path, 4,000 characters.
        std::string deep = archives;
        while (deep.size() < 3700) {
            deep += "/" + std::string(240, 'd');
        }
        std::filesystem::create_directories(deep);
        const std::string longest = deep + "/" + std::string(4000 - deep.size() - 1, 'f');
        for (const auto& [path, content] : std::map<std::string, std::string>{
                 {"/one.zpk", "1111"},
                 {"/Two Mod.zpk", "2222222"},
                 {"/two mod.zpk", "3333"},  // one.zpk's size, Two Mod's name in other case
                 {"/ünïcödé 模组 ✓.zpk", "4444444444"},
                 {"/odd \"name\" = ;#\\n [x].zpk", std::string(22, '5')},  // the game's size
                 {"/\xff\xfe not UTF-8.zpk", "66"},
                 {"/line\nbreak\r.zpk", "777777777777"},
                 {"/ padded \t", "8"},
                 {"/C:\\new\\\"", "999"},
                 {longest.substr(archives.size()), std::string(25, '0')}}) {
            WriteFile(archives + path, model.files[archives + path] = content);
        }
        model.live = live;
        model.backup = backup;
        model.keptStem = mods + "/patch_vx-" + platform.LocalDate();
        model.files[live] = ReadFile(live);
        model.files[game + "/vexmoor.exe"] = "MZ";
        for (int n = 1; n <= 3; ++n) {  // copies kept may be deleted and put back as well
            keptNames.push_back(model.keptStem + (n > 1 ? "-" + std::to_string(n) : "") + ".zpk");
        }
    }

    // Does step (kind, pick, how) to the program and to the model, and tells it in words.
    // What a failure reports is the fault test's matter: here only what it leaves counts.
    std::string Apply(int kind, std::uint32_t pick, std::uint32_t how) {
        model.boxes.clear();
        if (session) {
            session->boxes.shown.clear();
        }
        const int item =
            how % 7 == 0 || model.items.empty() ? -1 : static_cast<int>(pick % model.items.size());
        std::vector<std::string> present;
        std::vector<std::string> absent;
        std::map<std::string, std::string> world = model.files;
        world.erase(game + "/vexmoor.exe");
        for (const auto& name : keptNames) {
            world.try_emplace(name, "");
        }
        for (const auto& [path, content] : world) {
            (model.files.contains(path) ? present : absent).push_back(path);
        }
        if (kind == kStart) {
            session = std::make_unique<Session>(platform);
            FailureOf([&] { session->Start(); });
            model.Start();
            return "start";
        }
        if (kind == kAdd) {  // mostly a file that exists, sometimes in other case, or none
            std::string chosen =
                how % 10 == 0 || present.empty() ? "" : present[pick % present.size()];
            for (char& c : chosen) {
                c = how % 10 <= 2 ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                                  : c;
            }
            FailureOf([&] { session->Add(chosen); });
            model.Add(chosen);
            return "add \"" + chosen + "\"";
        }
        if (kind == kRemove || kind == kSwitch) {
            FailureOf([&] { kind == kRemove ? session->Remove(item) : session->Switch(item); });
            kind == kRemove ? model.Remove(item) : model.Switch(item);
            return (kind == kRemove ? "remove item " : "switch to item ") + std::to_string(item);
        }
        const auto& from = kind == kDelete ? present : absent;
        if (from.empty()) {
            return "nothing to delete or put back";
        }
        const std::string path = from[pick % from.size()];
        if (kind == kDelete) {
            std::filesystem::remove(path);
            model.files.erase(path);
            return "delete \"" + path + "\" behind the program's back";
        }
        const std::size_t sizes[] = {4, 7, 13, 22};  // some the live archive's
        WriteFile(path, model.files[path] = std::string(sizes[how / 3 % 4], 'r'));
        return "put \"" + path + "\" back behind the program's back";
    }

    // One side's state, as lines that name what they describe.
    std::set<std::string> State(bool program) {
        const auto& boxes = program ? session->boxes.shown : model.boxes;
        const auto& items = program ? session->list1.items : model.items;
        std::set<std::string> lines{"Label2 " + (program ? session->label2.caption : model.label)};
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            lines.insert("box " + std::to_string(i) + " " + boxes[i].second + ": " +
                         boxes[i].first);
        }
        for (std::size_t i = 0; i < items.size(); ++i) {
            lines.insert("item " + std::to_string(i) + " " + items[i]);
        }
        if (!program) {
            for (const auto& [path, content] : model.files) {
                lines.insert("file " + path + " " + content);
            }
            lines.insert("stored settings/mods=" + std::to_string(model.count));
            for (const auto& [key, entry] : model.entries) {
                lines.insert("stored mods/" + std::to_string(key) + "=" + entry);
            }
            return lines;
        }
        // Every file, so that one written where it should not be, or left behind, shows.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file() && entry.path() != store) {
                lines.insert("file " + entry.path().string() + " " + ReadFile(entry.path()));
            }
        }
        try {
            const posix::IniDocument document = posix::ParseIni(ReadFile(store), "");
            for (const auto& section : document.Sections()) {
                for (const auto& [key, value] : section.entries) {
                    lines.insert("stored " + section.name + "/" + key + "=" + value);
                }
            }
        } catch (const Error& e) {
            lines.insert(std::string("the store cannot be read: ") + e.what());
        }
        lines.erase("stored settings/vxpath=" + game);
        return lines;
    }

    Model model;
    std::vector<std::string> keptNames;
    std::unique_ptr<Session> session;
};

TEST(ModelTest, RandomUseOnRealFilesAgreesWithTheModelAfterEveryStep) {
    const auto total = Env("VX_MODEL_STEPS", 4000);
    const auto length = Env("VX_MODEL_RUN_STEPS", 100);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(Env("VX_MODEL_SECONDS", 40));
    std::int64_t steps = 0;
    for (std::uint64_t run = 0; steps < total && std::chrono::steady_clock::now() < deadline;
         ++run) {
        std::mt19937_64 random(Seed() + run);
        std::discrete_distribution<int> kind({5, 26, 14, 26, 12, 17});  // in the order of Kind
        World world;
        std::string story = "  1. " + world.Apply(kStart, 0, 0) + "\n";
        for (std::int64_t i = 1; i < length; ++i, ++steps) {
            story += "  " + std::to_string(i + 1) + ". " +
                     world.Apply(kind(random), static_cast<std::uint32_t>(random()),
                                 static_cast<std::uint32_t>(random())) +
                     "\n";
            const auto program = world.State(true);
            const auto model = world.State(false);
            if (program != model) {
                for (const auto& line : program) {
                    story += model.contains(line) ? "" : "  program: " + line + "\n";
                }
                for (const auto& line : model) {
                    story += program.contains(line) ? "" : "  model:   " + line + "\n";
                }
                FAIL() << "VX_SEED=" << Seed() << ", run " << run << ": the program and the "
                       << "model differ after step " << i + 1 << ":\n"
                       << story;
            }
        }
    }
    std::cout << "[ figures  ] model: " << steps << " steps (seed " << Seed()
              << "), 0 differences\n";
}

}  // namespace
}  // namespace vx::test
