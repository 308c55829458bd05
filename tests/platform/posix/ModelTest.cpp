// Random sequences of what a user and the world do (start the program, add, remove, switch,
// delete an archive behind its back or put one back) run on real files and the real store,
// and compared after every step with a model of what must hold. A failure prints the seed
// and the steps up to the first difference. VX_MODEL_STEPS, VX_MODEL_RUN_STEPS,
// VX_MODEL_SECONDS and VX_SEED set the load.

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <random>

#include "Support.h"

namespace vx::test {
namespace {

// What the program must do, over plain values, written from what it is meant to do and not
// from its code: files as their contents, the stored entries and the list as lists. What it
// says in its boxes and label is for the window logic's tests.
struct Model {
    std::string live, backup, keptStem;
    std::map<std::string, std::string> files;  // absent when deleted
    std::vector<std::string> entries;
    std::vector<std::string> items;

    // Paths that differ in letter case only are the same; the model's differ in ASCII only.
    static bool Same(const std::string& a, const std::string& b) {
        return ::strcasecmp(a.c_str(), b.c_str()) == 0;
    }
    std::optional<std::size_t> Size(const std::string& path) const {
        const auto found = files.find(path);
        return found == files.end() ? std::nullopt : std::optional(found->second.size());
    }
    // Nothing is registered before the backup, made only where nothing stands, from a live
    // archive that exists.
    bool BackedUp() {
        if (entries.empty() && (Size(backup) || Size(live))) {
            files.try_emplace(backup, Size(live) ? files[live] : "");
            entries = {backup};
        }
        return !entries.empty();
    }
    // A live archive of a size no other entry has is first kept under the first free name.
    void Switch(int item) {
        const std::string source = item < 0 ? "" : items.at(std::size_t(item));
        const bool known = !Size(live) || std::ranges::any_of(entries, [&](const auto& entry) {
            return !Same(entry, live) && Size(entry) == Size(live);
        });
        if (!Size(source)) {
            return;
        }
        if (!Same(source, live) && !known) {
            std::string kept = keptStem + ".zpk";
            for (int n = 2; files.contains(kept); ++n) {
                kept = keptStem + "-" + std::to_string(n) + ".zpk";
            }
            files[kept] = files[live];
            entries.push_back(kept);
        }
        files[live] = files[source];
        Refresh();
    }
    void Add(const std::string& chosen) {
        if (entries.empty() && BackedUp()) {
            Refresh();
        }
        if (!chosen.empty() && !entries.empty() &&
            std::ranges::none_of(entries, [&](const auto& entry) { return Same(entry, chosen); })) {
            entries.push_back(chosen);
            Refresh();
        }
    }
    void Remove(int item) {
        if (item >= 0 && std::size_t(item) < entries.size()) {
            entries.erase(entries.begin() + item);
        }
        Refresh();
    }
    // An entry whose file is gone is pointed at the live archive, and the list is built
    // again. Without a live archive nothing is compared or repaired.
    void Refresh() {
        items.clear();
        for (auto& path : entries) {
            path = Size(live) && !Size(path) ? live : path;
            items.push_back(path);
        }
    }
};

enum Kind { kStart, kAdd, kRemove, kSwitch, kDelete, kRecreate };

struct World : Install {
    World() {
        steps.flush = false;  // whether data reaches the disk is the kill test's matter
        model = {live, backup, mods + "/patch_vx-" + platform.LocalDate(), {}, {}, {}};
        // Paths of every kind the store must keep exactly: not UTF-8, a line break, blanks at
        // either end, quotes and the INI's own signs, a Windows path, 4,000 characters.
        std::string deep = archives;
        while (deep.size() < 3700) {
            deep += "/" + std::string(240, 'd');
        }
        std::filesystem::create_directories(deep);
        for (const char* name : {"one.zpk", "Two Mod.zpk", "two mod.zpk", "ünïcödé 模组 ✓.zpk",
                                 "odd \"name\" = ;#\\n [x].zpk", "\xff\xfe not UTF-8.zpk",
                                 "line\nbreak\r.zpk", " padded \t", "C:\\new\\\""}) {
            names.push_back(archives + "/" + name);
        }
        names.push_back(deep + "/" + std::string(4000 - deep.size() - 1, 'f'));
        for (std::size_t i = 0; i < names.size(); ++i) {  // sizes 4 and 22 match others
            WriteFile(names[i], model.files[names[i]] = std::string(i == 4 ? 22 : i % 4 + 4, 'o'));
        }
        model.files[live] = ReadFile(live);
        model.files[game + "/vexmoor.exe"] = "MZ";
        // The game's and the copies the program keeps may be deleted and put back too.
        names.insert(names.end(), {live, backup, model.keptStem + ".zpk", model.keptStem + "-2.zpk",
                                   model.keptStem + "-3.zpk"});
    }

    // Does step (kind, pick, how) to the program and to the model, and tells it in words.
    // What a failure reports is the fault test's matter: here only what it leaves counts.
    std::string Apply(int kind, std::uint32_t pick, std::uint32_t how) {
        const int item =
            how % 7 == 0 || model.items.empty() ? -1 : static_cast<int>(pick % model.items.size());
        std::vector<std::string> present;
        std::vector<std::string> absent;
        for (const auto& path : names) {
            (model.files.contains(path) ? present : absent).push_back(path);
        }
        if (kind == kStart) {
            session = std::make_unique<Session>(platform);
            FailureOf([&] { session->Start(); });
            model.items.clear();
            if (model.BackedUp()) {
                model.Refresh();
            }
            return "start";
        }
        if (kind == kAdd) {  // mostly a file that exists, sometimes in other case, or none
            std::string chosen =
                how % 10 == 0 || present.empty() ? "" : present[pick % present.size()];
            std::ranges::transform(chosen, chosen.begin(), [&](unsigned char c) {
                return static_cast<char>(how % 10 <= 2 ? std::toupper(c) : c);
            });
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
        WriteFile(path, model.files[path] = std::string(how % 4 == 3 ? 22 : how % 4 + 4, 'r'));
        return "put \"" + path + "\" back behind the program's back";
    }

    // How the program differs from the model, in words; empty when they agree. Every file
    // counts, so that one written where it should not be, or left behind, shows.
    std::string Differences() {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file() && entry.path() != store) {
                files[entry.path().string()] = ReadFile(entry.path());
            }
        }
        std::vector<std::string> stored;
        for (int i = 1; i <= std::stoi(Stored("settings", "mods").value_or("0")); ++i) {
            stored.push_back(Stored("mods", std::to_string(i)).value_or("<absent>"));
        }
        const auto differ = [](const char* what, const auto& program, const auto& expected) {
            return program == expected
                       ? ""
                       : std::string(what) + ": the program's " +
                             ::testing::PrintToString(program) + "\n  the model's " +
                             ::testing::PrintToString(expected) + "\n";
        };
        return differ("files", files, model.files) + differ("stored", stored, model.entries) +
               differ("list", session->list1.items, model.items);
    }

    Model model;
    std::vector<std::string> names;  // every file a step may delete or put back
    std::unique_ptr<Session> session;
};

TEST(ModelTest, RandomUseOnRealFilesAgreesWithTheModelAfterEveryStep) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(Env("VX_MODEL_SECONDS", 40));
    std::int64_t steps = 0;
    for (std::uint64_t run = 0;
         steps < Env("VX_MODEL_STEPS", 4000) && std::chrono::steady_clock::now() < deadline;
         ++run) {
        std::mt19937_64 random(Seed() + run);
        std::discrete_distribution<int> kind({5, 26, 14, 26, 12, 17});  // in the order of Kind
        World world;
        std::string story = "  " + world.Apply(kStart, 0, 0) + "\n";
        for (std::int64_t i = 1; i < Env("VX_MODEL_RUN_STEPS", 100); ++i, ++steps) {
            story += "  " +
                     world.Apply(kind(random), static_cast<std::uint32_t>(random()),
                                 static_cast<std::uint32_t>(random())) +
                     "\n";
            ASSERT_EQ(world.Differences(), "")
                << "VX_SEED=" << Seed() << ", run " << run << ", after the steps\n"
                << story;
        }
    }
    std::cout << "[ figures  ] model: " << steps << " steps (seed " << Seed()
              << "), 0 differences\n";
}

}  // namespace
}  // namespace vx::test
