#include "state/SteamLibraries.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "state/Text.h"

namespace vx {
namespace {

// One key of a KeyValues text: a value, or a block of further keys.
struct KeyValue {
    std::string key;
    std::string value;
    std::vector<KeyValue> block;
    bool isBlock = false;
};

// Reads Valve's KeyValues text: quoted or bare tokens, braces, // comments. Any fault ends
// the reading; Parse() then answers nullopt.
class KeyValuesReader {
  public:
    explicit KeyValuesReader(std::string_view text) : text_(text) {}

    std::optional<std::vector<KeyValue>> Parse() {
        std::vector<KeyValue> keys;
        if (!ReadKeys(keys, 0) || Next() != Token::End) {
            return std::nullopt;
        }
        return keys;
    }

  private:
    enum class Token { Text, Open, Close, End, Fault };

    // Deeper nesting than Steam ever writes is taken for damage, before it can exhaust the
    // stack.
    static constexpr int kMaxDepth = 16;

    bool ReadKeys(std::vector<KeyValue>& keys, int depth) {
        while (true) {
            const std::size_t mark = at_;
            if (Next() != Token::Text) {
                at_ = mark;  // the caller judges what ends the list
                return true;
            }
            KeyValue entry{std::move(token_), {}, {}, false};
            switch (Next()) {
                case Token::Text:
                    entry.value = std::move(token_);
                    break;
                case Token::Open:
                    entry.isBlock = true;
                    if (depth == kMaxDepth || !ReadKeys(entry.block, depth + 1) ||
                        Next() != Token::Close) {
                        return false;
                    }
                    break;
                default:
                    return false;
            }
            keys.push_back(std::move(entry));
        }
    }

    Token Next() {
        SkipSpaceAndComments();
        if (at_ == text_.size()) {
            return Token::End;
        }
        const char c = text_[at_];
        if (c == '{' || c == '}') {
            ++at_;
            return c == '{' ? Token::Open : Token::Close;
        }
        token_.clear();
        return c == '"' ? ReadQuoted() : ReadBare();
    }

    void SkipSpaceAndComments() {
        while (at_ < text_.size()) {
            if (std::isspace(static_cast<unsigned char>(text_[at_])) != 0) {
                ++at_;
            } else if (text_.substr(at_, 2) == "//") {
                at_ = std::min(text_.find('\n', at_), text_.size());
            } else {
                return;
            }
        }
    }

    Token ReadQuoted() {
        for (++at_; at_ < text_.size(); ++at_) {
            char c = text_[at_];
            if (c == '"') {
                ++at_;
                return Token::Text;
            }
            if (c == '\\' && at_ + 1 < text_.size()) {
                c = Unescape(text_[++at_]);
            }
            token_ += c;
        }
        return Token::Fault;  // the file ends inside a string
    }

    static char Unescape(char c) {
        switch (c) {
            case 'n':
                return '\n';
            case 't':
                return '\t';
            default:
                return c;  // \\ and \" stand for the character itself
        }
    }

    Token ReadBare() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (std::isspace(static_cast<unsigned char>(c)) != 0 || c == '"' || c == '{' ||
                c == '}') {
                break;
            }
            token_ += c;
            ++at_;
        }
        return Token::Text;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string token_;
};

bool IsNumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

const KeyValue* FindKey(const std::vector<KeyValue>& keys, std::string_view name) {
    const auto found = std::find_if(keys.begin(), keys.end(), [name](const KeyValue& entry) {
        return EqualIgnoringCase(entry.key, name);
    });
    return found == keys.end() ? nullptr : &*found;
}

std::string Join(const std::string& folder, std::string_view name, char separator) {
    std::string joined = folder;
    if (!joined.empty() && joined.back() != separator && joined.back() != '/') {
        joined += separator;
    }
    return joined.append(name);
}

std::optional<std::string> GameFolderIn(const std::string& library, SteamFolders& folders) {
    const char separator = folders.Separator();
    const std::string common = Join(Join(library, "steamapps", separator), "common", separator);
    std::vector<FolderEntry> games = folders.List(common);
    // The same answer whatever the listing's order.
    std::sort(games.begin(), games.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    for (const FolderEntry& game : games) {
        if (!game.isFolder) {
            continue;
        }
        const std::string folder = Join(common, game.name, separator);
        const std::vector<FolderEntry> entries = folders.List(folder);
        if (std::any_of(entries.begin(), entries.end(), [](const FolderEntry& entry) {
                return !entry.isFolder && EqualIgnoringCase(entry.name, "vexmoor.exe");
            })) {
            return folder;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> ParseLibraryFolders(std::string_view vdf) {
    std::vector<std::string> libraries;
    const std::optional<std::vector<KeyValue>> keys =
        KeyValuesReader(WithoutByteOrderMark(vdf)).Parse();
    const KeyValue* top = keys ? FindKey(*keys, "libraryfolders") : nullptr;
    if (top == nullptr) {
        return libraries;
    }
    for (const KeyValue& entry : top->block) {
        if (!IsNumber(entry.key)) {
            continue;  // statistics and the like, beside the numbered libraries
        }
        if (!entry.isBlock) {
            libraries.push_back(entry.value);
        } else if (const KeyValue* path = FindKey(entry.block, "path");
                   path != nullptr && !path->isBlock) {
            libraries.push_back(path->value);
        }
    }
    return libraries;
}

std::optional<std::string> FindGameFolder(const std::vector<std::string>& steamRoots,
                                          SteamFolders& folders) {
    const char separator = folders.Separator();
    std::vector<std::string> searched;
    for (const std::string& root : steamRoots) {
        std::vector<std::string> libraries{root};
        const std::string vdfPath =
            Join(Join(root, "steamapps", separator), "libraryfolders.vdf", separator);
        if (const std::optional<std::string> vdf = folders.ReadText(vdfPath)) {
            const std::vector<std::string> listed = ParseLibraryFolders(*vdf);
            libraries.insert(libraries.end(), listed.begin(), listed.end());
        }
        for (const std::string& library : libraries) {
            // A root is usually listed in its own file, and two roots are often one folder
            // through a symbolic link.
            if (std::find(searched.begin(), searched.end(), library) != searched.end()) {
                continue;
            }
            searched.push_back(library);
            if (std::optional<std::string> game = GameFolderIn(library, folders)) {
                return game;
            }
        }
    }
    return std::nullopt;
}

}  // namespace vx
