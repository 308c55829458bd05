// Random sequences of what a user and the world do (start the program, add, remove, switch,
// delete an archive behind its back or put one back) run on real files and the real store,
// and compared after every step with a model of what must hold. A failure prints the seed
// and the steps up to the first difference. VX_MODEL_STEPS, VX_MODEL_RUN_STEPS,
// VX_MODEL_SECONDS and VX_SEED set the load.

#include <strings.h>

#include <iostream>
#include <map>
#include <random>

#include "platform/posix/Support.h"

namespace vx::test {
namespace {

// What the program must do with files and the store, written from what it is meant to do and
// not from its code. What it says in boxes and labels is for the window logic's tests.
struct Model {
    std::string live, backup, keptStem;
    std::map<std::string, std::string> files;  // by path, absent when deleted
    std::vector<std::string> entries;          // as stored and listed

    std::optional<std::size_t> Size(const std::string& path) const {
        const auto found = files.find(path);
        return found == files.end() ? std::nullopt : std::optional(found->second.size());
    }
    // Nothing is registered before the backup, which is made only where nothing stands; a
    // backup made is registered and the entries repaired at once.
    void Start() {
        if (entries.empty() && (Size(backup) || Size(live))) {
            files.try_emplace(backup, Size(live) ? files[live] : "");
            entries = {backup};
            Repair();
        }
    }
    // An entry whose file is gone is pointed at the live archive, unless that is gone too.
    void Repair() {
        for (auto& path : entries) {
            path = Size(live) && !Size(path) ? live : path;
        }
    }
    // Paths that differ in letter case only are the same.
    void Add(const std::string& path) {
        Start();
        if (!entries.empty() && !path.empty() &&
            std::ranges::none_of(entries, [&](const auto& entry) {
                return ::strcasecmp(entry.c_str(), path.c_str()) == 0;
            })) {
            entries.push_back(path);
            Repair();
        }
    }
    // A live archive of a size no other entry has is first kept under the first free name.
    void Switch(const std::string& source) {
        if (!Size(source)) {
            return;
        }
        if (source != live && Size(live) && std::ranges::none_of(entries, [&](const auto& entry) {
                return entry != live && Size(entry) == Size(live);
            })) {
            std::string kept = keptStem + ".zpk";
            for (int n = 2; files.contains(kept); ++n) {
                kept = keptStem + "-" + std::to_string(n) + ".zpk";
            }
            files[kept] = files[live];
            entries.push_back(kept);
        }
        files[live] = files[source];
        Repair();
    }
};

struct World : Install {
    World() {
        steps.flush = false;  // whether data reaches the disk is the kill test's matter
        model = {live, backup, mods + "/patch_vx-" + services.system.LocalDate(), {}, {}};
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

    // Does a step of `kind` (start, add, remove, switch, delete, put back) to the program and
    // to the model, and tells it in words. What a failure reports is the fault test's matter:
    // here only what it leaves counts.
    std::string Apply(int kind, std::uint32_t pick) {
        const auto& items = model.entries;  // what the window lists
        const int item = pick % 7 == 0 || items.empty() ? -1 : int(pick / 7 % items.size());
        std::vector<std::string> present, absent;
        for (const auto& path : names) {
            (model.files.contains(path) ? present : absent).push_back(path);
        }
        const auto& some = kind == 5 ? absent : present;
        const std::string path =
            some.empty() || pick % 10 == 0 ? "" : some[pick / 10 % some.size()];
        if (kind == 0) {
            session.emplace(services);
            FailureOf([&] { session->Start(); });
            model.Start();
            model.Repair();
        } else if (kind == 1) {
            FailureOf([&] { session->Add(path); });
            model.Add(path);
        } else if (kind == 2 && item >= 0) {
            FailureOf([&] { session->Remove(item); });
            model.entries.erase(model.entries.begin() + item);
            model.Repair();
        } else if (kind == 3 && item >= 0) {
            FailureOf([&] { session->Switch(item); });
            model.Switch(std::string(items[std::size_t(item)]));  // a copy: keeping adds entries
        } else if (kind == 4 && !path.empty()) {
            std::filesystem::remove(path);
            model.files.erase(path);
        } else if (kind == 5 && !path.empty()) {
            WriteFile(path,
                      model.files[path] = std::string(pick % 4 == 3 ? 22 : pick % 4 + 4, 'r'));
        }
        const char* const words[] = {"start", "add", "remove", "switch to", "delete", "put back"};
        return std::string(words[kind]) + " item " + std::to_string(item) + " \"" + path + "\"";
    }

    // The files, the stored entries and the list, as the program left them: every file
    // counts, so that one written where it should not be, or left behind, shows.
    using State = std::tuple<std::map<std::string, std::string>, std::vector<std::string>,
                             std::vector<std::string>>;
    State Program() {
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
        return {files, stored, session->modList.items};
    }
    State Expected() const { return {model.files, model.entries, model.entries}; }

    Model model;
    std::vector<std::string> names;  // every file a step may delete or put back
    std::optional<Session> session;
};

TEST(ModelTest, RandomUseOnRealFilesAgreesWithTheModelAfterEveryStep) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(Env("VX_MODEL_SECONDS", 40));
    std::int64_t steps = 0;
    for (std::uint64_t run = 0;
         steps < Env("VX_MODEL_STEPS", 4000) && std::chrono::steady_clock::now() < deadline;
         ++run) {
        std::mt19937_64 random(Seed() + run);
        // Start, add, remove, switch, delete, put back.
        std::discrete_distribution<int> kind({5, 26, 14, 26, 12, 17});
        World world;
        std::string story = "  " + world.Apply(0, 0) + "\n";
        for (std::int64_t i = 1; i < Env("VX_MODEL_RUN_STEPS", 100); ++i, ++steps) {
            story += "  " + world.Apply(kind(random), static_cast<std::uint32_t>(random())) + "\n";
            ASSERT_EQ(world.Program(), world.Expected())
                << "VX_SEED=" << Seed() << ", run " << run << ", after the steps\n"
                << story;
        }
    }
    std::cout << "[ figures  ] model: " << steps << " steps (seed " << Seed()
              << "), 0 differences\n";
}

}  // namespace
}  // namespace vx::test
