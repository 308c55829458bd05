#pragma once

#include <cerrno>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "app/Services.h"
#include "state/Error.h"
#include "state/Text.h"

namespace vx::test {

// The settings store, the files and the system over plain maps, with Windows-like paths
// ('\' separator) so that the window logic is tested with the separator it was first written
// for. Files hold text.
class FakePlatform : public SettingsStore, public Files, public SystemInfo {
  public:
    std::map<std::string, std::string> settings;  // "section/key" -> value, as committed
    std::map<std::string, std::string> pending;   // saved in a batch, not yet committed
    std::map<std::string, std::string> files;     // path -> content
    std::set<std::string> folders;
    std::set<std::string> hidden;              // paths of hidden files
    std::set<std::string> failCopyInto;        // destinations whose copy fails with copyFailure
    std::set<std::string> heldOpen;            // files another program holds open
    std::map<std::string, std::string> links;  // another spelling -> the path it leads to

    operator Services() { return {*this, *this, *this}; }

    std::optional<std::string> Get(std::string_view section, std::string_view key) override {
        const auto& store = pending.contains(Key(section, key)) ? pending : settings;
        const auto it = store.find(Key(section, key));
        return it == store.end() ? std::nullopt : std::optional(it->second);
    }
    void Save(std::string_view section, std::string_view key, std::string_view value) override {
        (batching ? pending : settings)[Key(section, key)] = std::string(value);
    }
    void BeginBatch() override { batching = true; }
    void Commit() override {
        for (auto& [key, value] : pending) {
            settings[key] = value;
        }
        pending.clear();
    }
    void EndBatch() noexcept override {
        pending.clear();
        batching = false;
    }
    // Whether saves wait for a commit: what the user is shown should never be that.
    bool Unwritten() const { return !pending.empty(); }
    void HoldFolders(bool) noexcept override {}
    std::string LookupEntry(const std::string& path, EntryKind kind) override {
        for (const auto& [name, content] : files) {
            if (EqualIgnoringCase(name, path) && !hidden.contains(name)) {
                return LastComponent(name);
            }
        }
        for (const auto& name : folders) {
            if (kind == EntryKind::FilesAndFolders && EqualIgnoringCase(name, path)) {
                return LastComponent(name);
            }
        }
        return {};
    }
    std::int64_t FileSize(const std::string& path) override {
        auto it = files.find(Resolve(path));
        if (it == files.end()) {
            throw Error(ENOENT, "No such file or directory", path);
        }
        return static_cast<std::int64_t>(it->second.size());
    }
    // A path in `links` leads to the file or folder it names; otherwise every path names
    // its own file.
    std::optional<FileIdentity> IdentifyFile(const std::string& path) noexcept override {
        const std::string target = Resolve(path);
        if (!files.contains(target) && !folders.contains(target)) {
            return std::nullopt;
        }
        return FileIdentity{0U, std::hash<std::string>{}(FoldCase(target))};
    }
    void ReplaceWithCopy(const std::string& source, const std::string& destination,
                         CopyProgress& progress) override {
        Copy(source, destination, progress);
    }
    bool CopyFileIfAbsent(const std::string& source, const std::string& destination,
                          CopyProgress& progress) override {
        const bool absent = !files.contains(destination);
        if (absent) {
            Copy(source, destination, progress);
        }
        return absent;
    }
    void MakeFolder(const std::string& path) override { folders.insert(path); }
    std::optional<std::int64_t> FreeSpace(const std::string&) noexcept override {
        return freeSpace;
    }
    bool HeldByAnotherProgram(const Error& error) const override { return error.Number() == EBUSY; }
    void RemoveLeftovers(const std::string&) noexcept override {}
    char PathSeparator() const override { return '\\'; }
    bool PathsMatchIgnoringCase(std::string_view a, std::string_view b) const override {
        return EqualIgnoringCase(a, b);
    }
    char DecimalSeparator() const override { return '.'; }
    std::string LocalDate() const override { return "2026-12-07"; }
    std::string SuggestedGameFolder() const override { return "C:\\program files\\vexmoor"; }

    int copyFailure = ENOSPC;
    bool batching = false;
    // A copy that goes on until cancelled, whatever the timing of the watch that cancels it.
    bool copyUntilCancelled = false;
    std::optional<std::int64_t> freeSpace;  // unknown unless a test says

    // Shorthands for tests.
    std::string Setting(const std::string& section, const std::string& key) const {
        return settings.contains(Key(section, key)) ? settings.at(Key(section, key)) : "<absent>";
    }
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        settings[Key(section, key)] = value;
    }

  private:
    std::string Resolve(const std::string& path) const {
        const auto link = links.find(path);
        return link == links.end() ? path : link->second;
    }
    static std::string Key(std::string_view section, std::string_view key) {
        return std::string(section) + "/" + std::string(key);
    }
    static std::string LastComponent(const std::string& path) {
        return path.substr(path.rfind('\\') + 1);
    }
    void Copy(const std::string& source, const std::string& destination, CopyProgress& progress) {
        if (failCopyInto.contains(destination)) {
            throw Error(copyFailure, "No space left on device", destination);
        }
        const std::string& held = heldOpen.contains(source) ? source : destination;
        if (heldOpen.contains(held)) {
            throw Error(EBUSY, "Device or resource busy", held);
        }
        while (copyUntilCancelled && progress.Copied(0, 1)) {
            std::this_thread::yield();
        }
        const std::int64_t size = FileSize(source);  // a missing source fails as a copy does
        if (!progress.Copied(size / 2, size)) {
            throw CopyCancelled();
        }
        progress.Finishing();
        files[Resolve(destination)] = files[Resolve(source)];
    }
};

}  // namespace vx::test
