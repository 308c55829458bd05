#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/win32/Handle.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Utf.h"

namespace vx::win32::test {

namespace {

void ForEachEntry(const std::wstring& folder, const std::function<void(WIN32_FIND_DATAW&)>& f) {
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.Get(), &entry)) {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) {
            f(entry);
        }
    }
}

void RemoveTree(const std::wstring& folder) {
    ForEachEntry(folder, [&](WIN32_FIND_DATAW& entry) {
        const std::wstring path = folder + L"\\" + entry.cFileName;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path);
        } else {
            DeleteFileW(path.c_str());
        }
    });
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = ToUtf8(temp) + "vx-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    EXPECT_TRUE(CreateDirectoryW(ApiPath(path_).c_str(), nullptr)) << path_;
}

TempFolder::~TempFolder() {
    RemoveTree(ApiPath(path_));
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    UniqueFile file(CreateFileW(ApiPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr))
        << path;
}

std::string ReadBytes(const std::string& path) {
    UniqueFile file(CreateFileW(ApiPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return file ? bytes : "<cannot open>";
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(ApiPath(path).c_str());
}

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(ApiPath(path).c_str(), attributes)) << path;
}

std::vector<std::string> EntryNames(const std::string& folder) {
    std::vector<std::string> names;
    ForEachEntry(ApiPath(folder),
                 [&](WIN32_FIND_DATAW& entry) { names.push_back(ToUtf8(entry.cFileName)); });
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vx::win32::test
