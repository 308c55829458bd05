#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "platform/win32/Handle.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Utf.h"

namespace vx::win32::test {

namespace {

bool IsDots(const wchar_t* name) {
    return !wcscmp(name, L".") || !wcscmp(name, L"..");
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (find) {
        do {
            if (IsDots(entry.cFileName)) {
                continue;
            }
            const std::wstring path = folder + L"\\" + entry.cFileName;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find.Get(), &entry));
    }
    find.Reset();
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = ToUtf8(temp) + "vx-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    if (!CreateDirectoryW(ApiPath(path_).c_str(), nullptr)) {
        ADD_FAILURE() << "cannot create " << path_ << ": " << GetLastError();
    }
}

TempFolder::~TempFolder() {
    RemoveTree(ApiPath(path_));
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    UniqueFile file(CreateFileW(ApiPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file) << path << ": " << GetLastError();
    ASSERT_TRUE(
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::string& path) {
    UniqueFile file(CreateFileW(ApiPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return "<cannot open: " + std::to_string(GetLastError()) + ">";
    }
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(ApiPath(path).c_str());
}

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(ApiPath(path).c_str(), attributes)) << path;
}

std::vector<std::string> EntryNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileW((ApiPath(folder) + L"\\*").c_str(), &entry));
    if (find) {
        do {
            if (!IsDots(entry.cFileName)) {
                names.push_back(ToUtf8(entry.cFileName));
            }
        } while (FindNextFileW(find.Get(), &entry));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vx::win32::test
