#pragma once

#include <string>

#include "core/ports/Files.h"

namespace zintor {

// Files on Windows: paths are UTF-8 inside and wide at the system calls, "\" separates.
//  - Program and Data: the folder of zintor.exe (KeyMap.xml lies beside it);
//  - Config: %APPDATA%\Zintor (a user's own KeyMap.xml, read first);
//  - Log: the program folder's "log";
//  - System: the system folder (GetSystemDirectory).
class WinFiles : public Files {
  public:
    WinFiles();
    // For tests: another program folder.
    explicit WinFiles(std::string programFolder);

    char separator() const override { return '\\'; }
    std::string folder(KnownFolder which) override;
    bool exists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool readText(const std::string& path, std::string& out) override;
    bool readLast128(const std::string& path, std::string& out) override;
    bool appendLine(const std::string& path, const std::string& line) override;

    static std::string executableFolder();

  private:
    std::string program_;
};

}  // namespace zintor
