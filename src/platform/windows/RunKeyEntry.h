#pragma once

#include <optional>
#include <string>

namespace zintor {

// "Start Zintor when I log in": the value Zintor under the current user's Run key
// (HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run), the quoted path of the
// running zintor.exe, as the installer writes it. The registry is the truth; nothing else records
// the choice. An entry switched off in Task Manager's Startup tab (its StartupApproved value says
// so) counts as not there, and switching it on again clears that.
class RunKeyEntry {
  public:
    static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const wchar_t* kApprovedKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    static constexpr const wchar_t* kValue = L"Zintor";

    bool present() const;
    // Writes or removes the value; on failure, a message for the user.
    std::optional<std::string> set(bool on) const;
    // "C:\...\zintor.exe" with its quotes: the running program.
    static std::wstring command();
};

}  // namespace zintor
