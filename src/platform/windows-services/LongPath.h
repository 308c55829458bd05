#pragma once

#include <string>
#include <string_view>

namespace vx::windows {

// The form of `path` to hand to the W functions. An absolute path (a drive path, or a UNC
// path) is made full with the usual Win32 rules, "/" read as "\", doubled separators, "."
// and ".." resolved, and then given the \\?\ prefix, which lifts the MAX_PATH limit but
// also switches those rules off; hence the order. Relative paths, and paths that carry a
// \\?\ or \\.\ prefix already, are passed as they are.
std::wstring ApiPath(const std::string& path);

// The last component of a path as the user wrote it: what follows the last "\", "/" or
// drive colon.
std::string_view LastComponent(std::string_view path);

// The folder part of an API path, up to and including its last separator; empty for a bare
// name in the current folder.
std::wstring FolderPart(const std::wstring& apiPath);

}  // namespace vx::windows
