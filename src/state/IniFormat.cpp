#include "state/IniFormat.h"

#include <cerrno>

#include "state/Error.h"
#include "state/Text.h"

namespace vx {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// Only what would break a line, and the escape itself, is escaped, so that a hand-written
// Windows path such as C:\games keeps its backslashes when read: an unknown escape stays.
// Appends `value` to `out` as a line's value.
void AppendEscaped(std::string& out, std::string_view value) {
    // Quotes keep spaces at either end, which a reader trims, and a value that is itself
    // quoted.
    const bool padded = !value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                           value.back() == ' ' || value.back() == '\t');
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    if (padded || quoted) {
        out += '"';
    }
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    if (padded || quoted) {
        out += '"';
    }
}

std::string Unescape(std::string_view raw) {
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
        raw = raw.substr(1, raw.size() - 2);
    }
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char next = raw[i + 1];
            if (next == '\\' || next == '"') {
                out += next;
                ++i;
                continue;
            }
            if (next == 'n' || next == 'r') {
                out += next == 'n' ? '\n' : '\r';
                ++i;
                continue;
            }
        }
        out += raw[i];
    }
    return out;
}

}  // namespace

std::string IniDocument::IndexKey(std::string_view section, std::string_view key) {
    std::string index(section);
    index += '\0';  // no name read from a line holds one
    index += key;
    return index;
}

const std::string* IniDocument::Find(std::string_view section, std::string_view key) const {
    // A list is read key after key in file order: the key after the last one found is tried
    // first, which spares a large list the index's hashing and scattered memory. It is the
    // one that counts only while no key is written twice.
    if (!twinKeys_ && next_.section < sections_.size()) {
        const Section& last = sections_[next_.section];
        if (next_.entry < last.entries.size() && last.entries[next_.entry].first == key &&
            last.name == section) {
            return &last.entries[next_.entry++].second;
        }
    }
    const auto found = keys_.find(IndexKey(section, key));
    if (found == keys_.end()) {
        return nullptr;
    }
    next_ = Place{found->second.section, found->second.entry + 1};
    return &sections_[found->second.section].entries[found->second.entry].second;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const auto found = keys_.find(IndexKey(section, key));
    if (found != keys_.end()) {
        sections_[found->second.section].entries[found->second.entry].second = value;
        return;
    }
    const auto last = lastSections_.find(std::string(section));
    if (last == lastSections_.end()) {
        AddSection(section);
    } else if (last->second + 1 != sections_.size()) {
        // The key joins the last section of that name, wherever it stands in the file.
        auto& entries = sections_[last->second].entries;
        keys_.emplace(IndexKey(section, key), Place{last->second, entries.size()});
        entries.emplace_back(std::string(key), std::string(value));
        return;
    }
    AddToLastSection(std::string(key), std::string(value));
}

void IniDocument::AddSection(std::string_view name) {
    sections_.push_back(Section{std::string(name), {}});
    lastSections_[std::string(name)] = sections_.size() - 1;
}

void IniDocument::AddToLastSection(std::string key, std::string value) {
    Section& section = sections_.back();
    const bool added = keys_
                           .emplace(IndexKey(section.name, key),
                                    Place{sections_.size() - 1, section.entries.size()})
                           .second;
    twinKeys_ = twinKeys_ || !added;
    section.entries.emplace_back(std::move(key), std::move(value));
}

IniDocument ParseIni(std::string_view text, const std::string& fileName) {
    text = WithoutByteOrderMark(text);
    IniDocument document;
    int lineNumber = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;

        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            document.AddSection(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const auto equals = line.find('=');
        if (document.Sections().empty() || equals == std::string_view::npos || equals == 0) {
            throw Error(EINVAL,
                        "The settings file is damaged at line " + std::to_string(lineNumber) +
                            ". Mend or remove it, then start Patchkeeper again.",
                        fileName);
        }
        document.AddToLastSection(std::string(Trim(line.substr(0, equals))),
                                  Unescape(Trim(line.substr(equals + 1))));
    }
    return document;
}

std::string FormatIni(const IniDocument& document) {
    std::string out;
    for (const auto& section : document.Sections()) {
        if (!out.empty()) {
            out += '\n';
        }
        out.append("[").append(section.name).append("]\n");
        for (const auto& [key, value] : section.entries) {
            out.append(key).append("=");
            AppendEscaped(out, value);
            out += '\n';
        }
    }
    return out;
}

}  // namespace vx
