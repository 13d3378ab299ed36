#include "platform/windows/WinFiles.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/windows/WideText.h"

namespace zintor {
namespace {

// The last path element ("" for a path that ends in a separator).
std::wstring lastElement(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The file's bytes from `offset` (negative: from the end) to its end.
bool readFrom(const std::string& path, long long offset, std::string& out, long long minimumSize) {
    HANDLE file =
        CreateFileW(utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != 0 && size.QuadPart >= minimumSize;
    if (ok && offset < 0) {
        LARGE_INTEGER move{};
        move.QuadPart = offset;
        ok = SetFilePointerEx(file, move, nullptr, FILE_END) != 0;
    }
    std::string bytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(offset < 0 ? -offset : size.QuadPart));
        DWORD done = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) != 0 &&
              done == bytes.size());
    }
    CloseHandle(file);
    if (ok) {
        out = std::move(bytes);
    }
    return ok;
}

}  // namespace

WinFiles::WinFiles() : program_(executableFolder()) {}

WinFiles::WinFiles(std::string programFolder) : program_(std::move(programFolder)) {}

std::string WinFiles::executableFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, n);
    const std::size_t slash = path.find_last_of(L'\\');
    return wideToUtf8(slash == std::wstring::npos ? L"." : path.substr(0, slash));
}

std::string WinFiles::folder(KnownFolder which) {
    switch (which) {
        case KnownFolder::kProgram:
        case KnownFolder::kData:
            return program_;
        case KnownFolder::kConfig: {
            wchar_t appData[MAX_PATH] = {};
            if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData) != S_OK) {
                return program_;
            }
            return wideToUtf8(appData) + "\\Zintor";
        }
        case KnownFolder::kLog:
            return program_ + "\\log";
        case KnownFolder::kSystem: {
            wchar_t system[MAX_PATH] = {};
            const UINT n = GetSystemDirectoryW(system, MAX_PATH);
            return n == 0 || n >= MAX_PATH ? std::string() : wideToUtf8({system, n});
        }
    }
    return program_;
}

bool WinFiles::exists(const std::string& path) {
    const std::wstring wide = utf8ToWide(path);
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    // A wildcard in the path finds other names: only the name asked for counts.
    const std::wstring expected = lastElement(wide);
    return CompareStringOrdinal(found.cFileName, -1, expected.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool WinFiles::folderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WinFiles::createFolder(const std::string& path) {
    if (folderExists(path)) {
        return true;
    }
    CreateDirectoryW(utf8ToWide(path).c_str(), nullptr);
    return folderExists(path);
}

bool WinFiles::readText(const std::string& path, std::string& out) {
    return !folderExists(path) && readFrom(path, 0, out, 0);
}

bool WinFiles::readLast128(const std::string& path, std::string& out) {
    return readFrom(path, -128, out, 128);
}

bool WinFiles::appendLine(const std::string& path, const std::string& line) {
    HANDLE file = CreateFileW(utf8ToWide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::string bytes = line + "\r\n";
    DWORD done = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) != 0 &&
        done == bytes.size();
    CloseHandle(file);
    return ok;
}

}  // namespace zintor
