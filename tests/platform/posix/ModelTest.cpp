// Random sequences of what a user and the world do (start the program, add, remove, switch,
// delete an archive behind its back or put one back) run on real files and the real store,
// and compared after every step with a reference model of what must hold. A failure prints
// the seed and the shortest failing sequence found. VX_MODEL_STEPS, VX_MODEL_RUN_STEPS,
// VX_MODEL_SECONDS and VX_SEED set the load.

#include <strings.h>

#include <cctype>
#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "Support.h"
#include "platform/posix/IniFormat.h"

namespace vx::test {
namespace {

using Clock = std::chrono::steady_clock;

// What the program must do, over plain values, written from what it is meant to do and not
// from its code: the store as a map, files as their contents, the window as strings.
struct Model {
    std::string live;
    std::string backup;
    std::map<std::string, std::string> files;  // absent when deleted
    int count = 0;
    std::map<int, std::string> entries;
    std::vector<std::string> items;
    std::string label;
    std::vector<std::pair<std::string, std::string>> boxes;

    std::string Entry(int i) const { return entries.contains(i) ? entries.at(i) : ""; }
    // The backup is made only where nothing stands, from a live archive that exists, and
    // registered only once it is made.
    void Start() {
        items.clear();
        label = "$Current Mod$";
        if (count == 0) {
            if (!files.contains(backup) && !files.contains(live)) {
                return;  // a failure, reported
            }
            files.try_emplace(backup, files.contains(live) ? files[live] : "");
            entries[1] = backup;
            count = 1;
        }
        Refresh();
    }
    void Switch(int item) {
        if (item < 0) {
            boxes.emplace_back("Select something!", "Select Something");
        } else if (files.contains(items.at(std::size_t(item)))) {
            files[live] = files[items[std::size_t(item)]];
            Refresh();
        }
    }
    // Paths that differ in letter case only are the same; the model's differ in ASCII only.
    void Add(const std::string& chosen) {
        for (int i = 1; i <= count; ++i) {
            if (::strcasecmp(Entry(i).c_str(), chosen.c_str()) == 0) {
                return;
            }
        }
        if (!chosen.empty()) {
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

// Raw random choices, read against the state they meet: a sequence with steps taken out
// still means something, which the shrinking relies on.
struct Action {
    int kind;
    std::uint32_t pick;
    std::uint32_t how;
};

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
        for (const auto& [name, content] : std::map<std::string, std::string>{
                 {"one.zpk", "1111"},
                 {"Two Mod.zpk", "2222222"},
                 {"two mod.zpk", "3333"},  // one.zpk's size, Two Mod's name in other case
                 {"ünïcödé 模组 ✓.zpk", "4444444444"},
                 {"odd \"name\" = ;#\\n [x].zpk", std::string(22, '5')},  // the game's size
                 {"\xff\xfe not UTF-8.zpk", "66"},
                 {"line\nbreak\r.zpk", "777777777777"},
                 {" padded \t", "8"},
                 {"C:\\new\\\"", "999"},
                 {deep.substr(archives.size() + 1) + "/" + std::string(4000 - deep.size() - 1, 'f'),
                  "0000000000000000000000000"}}) {
            WriteFile(archives + "/" + name, content);
            originals[archives + "/" + name] = content;
        }
        model.files = originals;
        model.live = live;
        model.backup = backup;
        model.files[live] = originals[backup] = originals[live] = ReadFile(live);
        model.files[game + "/vexmoor.exe"] = "MZ";
    }

    // Does `action` to the program and to the model; answers what was done, in words. What a
    // failure reports is the fault test's matter: here only what it leaves behind counts.
    std::string Apply(const Action& action) {
        model.boxes.clear();
        if (session) {
            session->boxes.shown.clear();
        }
        const int item = action.how % 7 == 0 || model.items.empty()
                             ? -1
                             : static_cast<int>(action.pick % model.items.size());
        std::vector<std::string> present;
        std::vector<std::string> absent;
        for (const auto& [path, content] : originals) {
            (model.files.contains(path) ? present : absent).push_back(path);
        }
        if (action.kind == kStart) {
            session = std::make_unique<Session>(platform);
            FailureOf([&] { session->Start(); });
            model.Start();
            return "start";
        }
        if (action.kind == kAdd) {
            // Mostly a file that exists, sometimes one in other letter case, or none.
            const std::uint32_t how = action.how % 10;
            std::string chosen =
                how == 0 || present.empty() ? "" : present[action.pick % present.size()];
            for (char& c : chosen) {
                c = how <= 2 ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            }
            FailureOf([&] { session->Add(chosen); });
            model.Add(chosen);
            return "add \"" + chosen + "\"";
        }
        if (action.kind == kRemove || action.kind == kSwitch) {
            const bool remove = action.kind == kRemove;
            FailureOf([&] { remove ? session->Remove(item) : session->Switch(item); });
            remove ? model.Remove(item) : model.Switch(item);
            return (remove ? "remove item " : "switch to item ") + std::to_string(item);
        }
        const auto& from = action.kind == kDelete ? present : absent;
        if (from.empty()) {
            return "nothing to delete or recreate";
        }
        const std::string path = from[action.pick % from.size()];
        if (action.kind == kDelete) {
            std::filesystem::remove(path);
            model.files.erase(path);
            return "delete \"" + path + "\" behind the program's back";
        }
        // Sometimes with other content, of a size that may match the live one's.
        const std::size_t sizes[] = {4, 7, 13, 22};
        WriteFile(path, model.files[path] = action.how % 3 == 0
                                                ? std::string(sizes[action.how / 3 % 4], 'r')
                                                : originals[path]);
        return "put \"" + path + "\" back behind the program's back, " +
               std::to_string(model.files[path].size()) + " bytes";
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
            lines.insert("stored settings/vxpath=" + game);
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
        return lines;
    }

    Model model;
    std::map<std::string, std::string> originals;  // every file a step may touch
    std::unique_ptr<Session> session;
};

struct Failure {
    std::size_t step;
    std::string story;  // the steps in words, then how the program and the model differ
};

// Plays `actions` in a new world; answers the first step after which the two differ.
std::optional<Failure> Play(const std::vector<Action>& actions) {
    World world;
    std::string story;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        story += "  " + std::to_string(i + 1) + ". " + world.Apply(actions[i]) + "\n";
        const std::set<std::string> program = world.State(true);
        const std::set<std::string> model = world.State(false);
        if (program != model) {
            story += "After the last step:\n";
            for (const auto& line : program) {
                story += model.contains(line) ? "" : "  program: " + line + "\n";
            }
            for (const auto& line : model) {
                story += program.contains(line) ? "" : "  model:   " + line + "\n";
            }
            return Failure{i, story};
        }
    }
    return std::nullopt;
}

// Cuts the sequence at its failing step, then leaves out one step at a time, from the last
// to the second, wherever what is left still fails. The first start stays.
std::vector<Action> Shrink(std::vector<Action> actions, Failure& failure) {
    actions.resize(failure.step + 1);
    for (std::size_t i = actions.size() - 1; i >= 1 && i < actions.size(); --i) {
        std::vector<Action> candidate = actions;
        candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(i));
        if (auto shorter = Play(candidate)) {
            candidate.resize(shorter->step + 1);
            actions = std::move(candidate);
            failure = std::move(*shorter);
        }
    }
    return actions;
}

TEST(ModelTest, RandomUseOnRealFilesAgreesWithTheModelAfterEveryStep) {
    const auto total = Env("VX_MODEL_STEPS", 4000);
    const auto length = Env("VX_MODEL_RUN_STEPS", 200);
    const auto deadline = Clock::now() + std::chrono::seconds(Env("VX_MODEL_SECONDS", 40));
    std::int64_t steps = 0;
    for (std::uint64_t run = 0; steps < total && Clock::now() < deadline; ++run, steps += length) {
        std::mt19937_64 random(Seed() + run);
        std::discrete_distribution<int> kind({5, 26, 14, 26, 12, 17});  // in the order of Kind
        std::vector<Action> actions{{kStart, 0, 0}};
        while (static_cast<std::int64_t>(actions.size()) < length) {
            actions.push_back({kind(random), static_cast<std::uint32_t>(random()),
                               static_cast<std::uint32_t>(random())});
        }
        if (auto failure = Play(actions)) {
            const auto shortest = Shrink(actions, *failure);
            FAIL() << "VX_SEED=" << Seed() << ", run " << run << " (its own seed " << Seed() + run
                   << "): the program and the model differ. Shortest failing sequence found ("
                   << shortest.size() << " of " << actions.size() << " steps):\n"
                   << failure->story;
        }
    }
    std::cout << "[ figures  ] model: " << steps << " steps (seed " << Seed()
              << "), 0 differences\n";
}

}  // namespace
}  // namespace vx::test
