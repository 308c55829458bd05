#pragma once

#include <string>
#include <string_view>

#include "platform/windows-services/FileSteps.h"

namespace vx::windows {

// Copies through a temporary file beside the destination: copy, flush, rename. A reader of
// the destination sees the old file or the new one, never a part of either; on failure the
// destination is as it was, the temporary file is gone, and vx::Error says why. The copy
// reports to `progress`, which may stop it until every byte is copied.

// Replaces `destination` by a copy of `source`. Does nothing when both name the same file.
// A destination marked read-only (or hidden or system) keeps those attributes.
void ReplaceWithCopy(FileSteps& steps, const std::string& source, const std::string& destination,
                     CopyProgress& progress);

// The same without replacing: answers false, leaving everything as it was, when anything
// stands at `destination`.
bool CopyFileIfAbsent(FileSteps& steps, const std::string& source, const std::string& destination,
                      CopyProgress& progress);

// Replaces (or makes) `destination` by a file holding `text`, through a temporary file beside
// it that is flushed and then moved over it, as the copies are.
void WriteAtomically(FileSteps& steps, const std::string& destination, std::string_view text);

// Deletes the temporary files that a copy into `folder` left when it was killed. Ignores
// every failure.
void RemoveLeftovers(const std::string& folder) noexcept;

}  // namespace vx::windows
