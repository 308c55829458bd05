#pragma once

#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "state/Error.h"
#include "state/Text.h"

namespace vx::test {

// What the program must do, over plain values: the registry as a map of keys, files as
// their contents, the window as a list of strings. The model-based test holds the real
// program, on real files and the real store, against this after every step.
class ReferenceModel {
  public:
    using Boxes = std::vector<std::pair<std::string, std::string>>;

    explicit ReferenceModel(std::string game)
        : game_(std::move(game)),
          live_(game_ + "/patch_vx.zpk"),
          backup_(game_ + "/mods/NORMAL_patch_vx.zpk") {}

    // Every file the program may read or write, by path; absent when deleted.
    std::map<std::string, std::string> files;
    // The store: the entry count and the keys of the "mods" section, as stored.
    std::optional<int> count;
    std::map<int, std::string> entries;
    // The window of the current run.
    std::vector<std::string> items;
    std::string label = "$Current Mod$";
    // What the last command showed and the failure it ended with (0 for none).
    Boxes boxes;
    int error = 0;

    void Start() {
        Begin();
        items.clear();
        label = "$Current Mod$";
        int n = count.value_or(0);
        if (n == 0) {
            // The backup is made only when nothing stands at its path, and only from a live
            // archive that exists; nothing is registered without it.
            if (!files.contains(backup_)) {
                if (!files.contains(live_)) {
                    error = ENOENT;
                    return;
                }
                files[backup_] = files[live_];
            }
            n = 1;
            entries[1] = backup_;
            count = 1;
        }
        if (n >= 1) {
            Refresh(n);
        }
    }

    void Switch(int item) {
        Begin();
        if (!count) {
            error = kErrorTypeMismatch;  // the count is read with no default
            return;
        }
        if (item < 0) {
            boxes.emplace_back("Select something!", "Select Something");
            return;
        }
        const std::string source = items.at(static_cast<std::size_t>(item));
        if (!files.contains(source)) {
            error = ENOENT;
            return;
        }
        files[live_] = files[source];
        Refresh(*count);
    }

    void Add(const std::string& chosen) {
        Begin();
        if (chosen.empty()) {
            return;
        }
        int n = count.value_or(0);
        for (int i = 1; i <= n; ++i) {
            if (EqualIgnoringCase(Entry(i), chosen)) {
                return;
            }
        }
        ++n;
        entries[n] = chosen;
        count = n;
        Refresh(n);
    }

    void Remove(int item) {
        Begin();
        int n = count.value_or(0);
        const int bound = n;
        for (int i = 0; i < bound; ++i) {
            if (item == i) {
                for (int j = i + 1; j <= n; ++j) {
                    entries[j] = Entry(j + 1);
                }
                --n;
            }
        }
        count = n;
        Refresh(n);
    }

    // Forgets what the last command showed, before a step that is no command.
    void Begin() {
        boxes.clear();
        error = 0;
    }

  private:
    std::string Entry(int i) const {
        const auto it = entries.find(i);
        return it == entries.end() ? std::string() : it->second;
    }

    static std::string Name(const std::string& path) {
        return std::filesystem::path(path).filename().string();
    }

    // The list rebuilt from entries 1 to n; an entry whose file is gone is pointed at the
    // live archive after one box, and the list is built again from a clean pass. Without
    // a live archive nothing is compared or repaired, and one box says so.
    void Refresh(int n) {
        for (;;) {
            items.clear();
            int repairs = 0;
            bool liveMissing = false;
            for (int i = 1; i <= n; ++i) {
                std::string path = Entry(i);
                if (!files.contains(live_)) {
                    liveMissing = true;
                } else if (files.contains(path)) {
                    if (files[path].size() == files[live_].size()) {
                        label = Name(path);
                    }
                } else {
                    boxes.emplace_back("File not found " + path, "Could not find file");
                    path = live_;
                    entries[i] = path;
                    ++repairs;
                    label = Name(path);
                }
                items.push_back(path);
            }
            if (liveMissing) {
                boxes.emplace_back("File not found " + live_, "Could not find file");
                return;
            }
            if (repairs == 0) {
                return;
            }
        }
    }

    std::string game_;
    std::string live_;
    std::string backup_;
};

}  // namespace vx::test
