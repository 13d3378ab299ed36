#include "platform/windows/WinLauncher.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace zintor {

LaunchResult WinLauncher::start(const std::string& path, bool minimizedNoFocus) {
    LaunchResult result;
    const std::wstring program = utf8ToWide(path);
    const DWORD attributes = GetFileAttributesW(program.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        result.error = "file not found";
        return result;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        result.error = "is a folder, not a program";
        return result;
    }
    // Programs look for their own files beside them more often than in our folder.
    const std::size_t slash = program.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : program.substr(0, slash);
    std::wstring commandLine = L"\"" + program + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = minimizedNoFocus ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                       DETACHED_PROCESS, nullptr, folder.empty() ? nullptr : folder.c_str(),
                       &startup, &process) == 0) {
        result.error = systemErrorText(GetLastError());
        return result;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.started = true;
    result.processId = static_cast<long>(process.dwProcessId);
    return result;
}

}  // namespace zintor
