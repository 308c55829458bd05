// Random sequences of what a user and the world do to the program (start it, add, remove,
// switch, delete an archive behind its back or put one back) run on real files and the real
// store, and compared after every step with a reference model of what must hold. A failure
// prints the seed and the shortest sequence found that still fails. VX_MODEL_STEPS,
// VX_MODEL_RUN_STEPS, VX_MODEL_SECONDS and VX_SEED set the load.

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "DiskState.h"
#include "Failures.h"
#include "GameInstall.h"
#include "ReferenceModel.h"
#include "Session.h"
#include "TestSettings.h"
#include "state/SettingsLayout.h"

namespace vx::test {
namespace {

using Clock = std::chrono::steady_clock;

// Whether data reaches the disk is the kill test's matter. Skipping the flushes keeps
// thousands of steps quick; every other step of every write is the system's own.
struct UnflushedSteps : posix::FileSteps {
    void Flush(int, const std::string&) override {}
};

enum class Kind { Start, Add, Remove, Switch, Delete, Recreate };

// One step, as raw random choices that are read against the state it meets: a sequence
// with steps taken out still means something, which the shrinking relies on.
struct Action {
    Kind kind;
    std::uint32_t pick;
    std::uint32_t how;
};

std::string Show(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const auto& item : items) {
        out += (out.size() > 1 ? ", \"" : "\"") + item + "\"";
    }
    return out + "]";
}

std::string Show(const ReferenceModel::Boxes& boxes) {
    std::string out = "[";
    for (const auto& [text, title] : boxes) {
        out += (out.size() > 1 ? ", " : "") + title + ": \"" + text + "\"";
    }
    return out + "]";
}

std::string Show(const std::optional<std::string>& value) {
    return value ? "\"" + *value + "\"" : "absent";
}

// A game, its store and a folder of archives, with the program on them and the model
// beside it.
class World {
  public:
    World() {
        const std::vector<std::pair<std::string, std::string>> archives{
            {"one.zpk", "1111"},
            {"Two Mod.zpk", "2222222"},
            {"two mod.zpk", "3333"},  // the size of one.zpk, and Two Mod's name in other case
            {"ünï ✓.zpk", "4444444444"},
            {"as large as the game's.zpk", std::string(22, '5')},
            {"odd \"name\" = ;#\\n .zpk", "66666"}};
        for (const auto& [name, content] : archives) {
            const std::string path = install.archives + "/" + name;
            WriteFile(path, content);
            originals_[path] = content;
        }
        originals_[install.live] = ReadFile(install.live);
        originals_[install.backup] = originals_[install.live];
        for (const auto& [path, content] : originals_) {
            paths_.push_back(path);
            if (path != install.backup) {
                model_.files[path] = content;
            }
        }
    }

    // Does `action` to the program and to the model; answers what was done, in words.
    std::string Apply(const Action& action) {
        error_.reset();
        model_.Begin();
        if (session_) {
            session_->boxes.shown.clear();
        }
        switch (action.kind) {
            case Kind::Start:
                session_ = std::make_unique<Session>(install.platform);
                error_ = FailureOf([&] { session_->Start(); });
                model_.Start();
                return "start";
            case Kind::Add: {
                const std::string chosen = Choose(action);
                session_->dialog.answers = {chosen};
                session_->dialog.shown = 0;
                error_ = FailureOf([&] { session_->Main().Command2Click(); });
                model_.Add(chosen);
                return "add \"" + chosen + "\"";
            }
            case Kind::Remove:
            case Kind::Switch: {
                const int item = Item(action);
                session_->list1.selected = item;
                const bool remove = action.kind == Kind::Remove;
                error_ = FailureOf([&] {
                    remove ? session_->Main().Command1Click() : session_->Main().SwtichClick();
                });
                remove ? model_.Remove(item) : model_.Switch(item);
                return std::string(remove ? "remove" : "switch to") + " item " +
                       std::to_string(item);
            }
            case Kind::Delete: {
                const std::string& path = paths_[action.pick % paths_.size()];
                if (!model_.files.contains(path)) {
                    return "delete nothing";
                }
                std::filesystem::remove(path);
                model_.files.erase(path);
                return "delete \"" + path + "\" behind the program's back";
            }
            case Kind::Recreate: {
                std::vector<std::string> absent;
                for (const auto& path : paths_) {
                    if (!model_.files.contains(path)) {
                        absent.push_back(path);
                    }
                }
                if (absent.empty()) {
                    return "recreate nothing";
                }
                const std::string& path = absent[action.pick % absent.size()];
                // Sometimes with other content, of a size that may now match the live one.
                const std::string content =
                    action.how % 3 == 0
                        ? std::string(std::vector<std::size_t>{4, 7, 13, 22}[action.how / 3 % 4],
                                      'r')
                        : originals_[path];
                WriteFile(path, content);
                model_.files[path] = content;
                return "recreate \"" + path + "\" with " + std::to_string(content.size()) +
                       " bytes behind the program's back";
            }
        }
        return {};
    }

    // How the program and the model differ now; empty when they agree.
    std::string Differences() {
        std::ostringstream out;
        const int number = error_ ? error_->Number() : 0;
        if (number != model_.error) {
            out << "failure " << (error_ ? FormatError(*error_) : "none") << ", expected "
                << model_.error << "\n";
        }
        if (session_->boxes.shown != model_.boxes) {
            out << "boxes " << Show(session_->boxes.shown) << ", expected " << Show(model_.boxes)
                << "\n";
        }
        if (session_->list1.items != model_.items) {
            out << "list " << Show(session_->list1.items) << ", expected " << Show(model_.items)
                << "\n";
        }
        if (session_->label2.caption != model_.label) {
            out << "Label2 \"" << session_->label2.caption << "\", expected \"" << model_.label
                << "\"\n";
        }
        try {
            CompareStore(out);
        } catch (const Error& e) {
            out << "the store cannot be read: " << e.what() << "\n";
        }
        for (const auto& path : paths_) {
            const auto expected = model_.files.find(path);
            const bool exists = std::filesystem::exists(path);
            if (exists != (expected != model_.files.end()) ||
                (exists && ReadFile(path) != expected->second)) {
                out << "file \"" << path << "\" "
                    << (exists ? "holds \"" + ReadFile(path) + "\"" : std::string("is absent"))
                    << ", expected "
                    << (expected == model_.files.end() ? std::string("absent")
                                                       : "\"" + expected->second + "\"")
                    << "\n";
            }
        }
        for (const auto& left : TemporaryFiles(install.root.Path().string())) {
            out << "temporary file left: " << left << "\n";
        }
        return out.str();
    }

    // What the program showed and raised in this world so far, for the figures.
    int boxesShown = 0;
    int failuresRaised = 0;
    void Tally() {
        boxesShown += static_cast<int>(model_.boxes.size());
        failuresRaised += model_.error != 0 ? 1 : 0;
    }

  private:
    void CompareStore(std::ostringstream& out) {
        auto stored = [&](std::string_view section, const std::string& key) {
            return install.platform.GetSetting(settings::kAppName, section, key);
        };
        const auto count = stored(settings::kSettingsSection, std::string(settings::kCountKey));
        const auto expectedCount =
            model_.count ? std::optional(std::to_string(*model_.count)) : std::nullopt;
        if (count != expectedCount) {
            out << "count " << Show(count) << ", expected " << Show(expectedCount) << "\n";
        }
        if (stored(settings::kSettingsSection, std::string(settings::kGameFolderKey)) !=
            install.game) {
            out << "the remembered game folder changed\n";
        }
        const int highest = model_.entries.empty() ? 0 : model_.entries.rbegin()->first;
        for (int key = 0; key <= highest + 1; ++key) {
            const auto entry = stored(settings::kModsSection, std::to_string(key));
            const auto it = model_.entries.find(key);
            const auto expected =
                it == model_.entries.end() ? std::nullopt : std::optional(it->second);
            if (entry != expected) {
                out << "entry " << key << " " << Show(entry) << ", expected " << Show(expected)
                    << "\n";
            }
        }
    }

    // What the open-file dialog answers: mostly an archive that exists, sometimes the live
    // archive or the backup, a registered path in other letter case, or nothing at all.
    std::string Choose(const Action& action) {
        const std::uint32_t kind = action.how % 10;
        if (kind == 0) {
            return {};
        }
        if (kind <= 2) {
            std::vector<std::string> registered;
            for (const auto& item : model_.items) {
                if (!item.empty()) {
                    registered.push_back(item);
                }
            }
            if (!registered.empty()) {
                std::string path = registered[action.pick % registered.size()];
                for (char& c : path) {
                    c = static_cast<char>(c >= 'a' && c <= 'z'   ? c - 32
                                          : c >= 'A' && c <= 'Z' ? c + 32
                                                                 : c);
                }
                return path;
            }
        }
        std::vector<std::string> existing;
        for (const auto& path : paths_) {
            const bool gamePath = path == install.live || path == install.backup;
            if (model_.files.contains(path) && gamePath == (kind == 3)) {
                existing.push_back(path);
            }
        }
        return existing.empty() ? std::string() : existing[action.pick % existing.size()];
    }

    // The list item the user selects, or -1 for none.
    int Item(const Action& action) const {
        if (action.how % 7 == 0 || model_.items.empty()) {
            return -1;
        }
        return static_cast<int>(action.pick % model_.items.size());
    }

    UnflushedSteps steps_;
    GameInstall install{"the game's own archive", steps_};
    ReferenceModel model_{install.game};
    std::map<std::string, std::string> originals_;
    std::vector<std::string> paths_;  // every file a step may touch
    std::unique_ptr<Session> session_;
    std::optional<Error> error_;
};

std::vector<Action> Generate(std::uint64_t seed, int length) {
    std::mt19937_64 random(seed);
    // Start, Add, Remove, Switch, Delete, Recreate
    std::discrete_distribution<int> kind({5, 26, 14, 26, 12, 17});
    std::vector<Action> actions{{Kind::Start, 0, 0}};
    while (static_cast<int>(actions.size()) < length) {
        actions.push_back({static_cast<Kind>(kind(random)), static_cast<std::uint32_t>(random()),
                           static_cast<std::uint32_t>(random())});
    }
    return actions;
}

struct Failure {
    std::size_t step;
    std::string differences;
    std::vector<std::string> done;  // each step in words
};

struct Figures {
    int boxes = 0;
    int failures = 0;
};

// Plays `actions` in a new world; answers the first step after which program and model
// differ.
std::optional<Failure> Play(const std::vector<Action>& actions, Figures* figures = nullptr) {
    World world;
    std::vector<std::string> done;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        done.push_back(world.Apply(actions[i]));
        world.Tally();
        std::string differences = world.Differences();
        if (!differences.empty()) {
            return Failure{i, std::move(differences), std::move(done)};
        }
    }
    if (figures != nullptr) {
        figures->boxes += world.boxesShown;
        figures->failures += world.failuresRaised;
    }
    return std::nullopt;
}

// Cuts the failing sequence to its failing step, then leaves out steps one at a time for
// as long as what is left still fails. The first start stays.
std::vector<Action> Shrink(std::vector<Action> actions, Failure& failure) {
    actions.resize(failure.step + 1);
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    for (bool smaller = true; smaller && Clock::now() < deadline;) {
        smaller = false;
        for (std::size_t i = actions.size() - 1; i >= 1 && i < actions.size(); --i) {
            std::vector<Action> candidate = actions;
            candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(i));
            if (auto shorter = Play(candidate)) {
                candidate.resize(shorter->step + 1);
                actions = std::move(candidate);
                failure = std::move(*shorter);
                smaller = true;
            }
        }
    }
    return actions;
}

TEST(ModelTest, RandomUseOnRealFilesAgreesWithTheModelAfterEveryStep) {
    const auto total = EnvNumber("VX_MODEL_STEPS", 4000);
    const auto length = static_cast<int>(EnvNumber("VX_MODEL_RUN_STEPS", 200));
    const auto deadline = Clock::now() + std::chrono::seconds(EnvNumber("VX_MODEL_SECONDS", 40));
    const std::uint64_t seed = Seed();
    Figures figures;
    std::int64_t steps = 0;
    int runs = 0;
    while (steps < total && Clock::now() < deadline) {
        const std::uint64_t runSeed = seed + static_cast<std::uint64_t>(runs);
        const std::vector<Action> actions = Generate(runSeed, length);
        if (auto failure = Play(actions, &figures)) {
            const std::vector<Action> shortest = Shrink(actions, *failure);
            std::string sequence;
            for (std::size_t i = 0; i < failure->done.size(); ++i) {
                sequence += "  " + std::to_string(i + 1) + ". " + failure->done[i] + "\n";
            }
            FAIL() << "run " << runs << " of seed " << seed << " (VX_SEED=" << seed
                   << "), its own seed " << runSeed << ": the program and the model differ.\n"
                   << "Shortest failing sequence found (" << shortest.size() << " of "
                   << actions.size() << " steps):\n"
                   << sequence << "After the last step:\n"
                   << failure->differences;
        }
        steps += length;
        ++runs;
    }
    std::cout << "[ figures  ] model: " << steps << " steps in " << runs << " runs (seed " << seed
              << "), " << figures.boxes << " boxes and " << figures.failures
              << " reported failures as the model expected, 0 differences\n";
}

}  // namespace
}  // namespace vx::test
