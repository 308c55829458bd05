#include "state/IniStore.h"

#include <utility>

namespace vx {

IniStore::IniStore(std::string name) : name_(std::move(name)) {}

IniDocument& IniStore::Document() {
    if (pending_) {
        return *document_;  // the one writer's own saves, not yet on disk
    }
    if (document_ && (checkedInBatch_ || Version() == version_)) {
        checkedInBatch_ = batching_;
        return *document_;
    }
    document_.reset();
    FileVersion version{};
    const std::string text = Read(version);
    document_ = ParseIni(text, name_);
    version_ = version;
    checkedInBatch_ = batching_;
    return *document_;
}

std::optional<std::string> IniStore::Get(std::string_view section, std::string_view key) {
    if (const std::string* value = Document().Find(section, key)) {
        return *value;
    }
    return std::nullopt;
}

void IniStore::Save(std::string_view section, std::string_view key, std::string_view value) {
    Document().Set(section, key, value);
    pending_ = true;
    if (!batching_) {
        Commit();
    }
}

void IniStore::Commit() {
    if (!pending_) {
        return;
    }
    try {
        // The file now is what was written; the next read needs only to see that it still is.
        version_ = Write(FormatIni(*document_));
    } catch (...) {
        pending_ = false;
        document_.reset();
        throw;
    }
    pending_ = false;
}

void IniStore::BeginBatch() {
    batching_ = true;
    checkedInBatch_ = false;
}

void IniStore::EndBatch() noexcept {
    batching_ = false;
    checkedInBatch_ = false;
    if (pending_) {
        pending_ = false;
        document_.reset();
    }
}

}  // namespace vx
