#pragma once

#include <string>

#include "core/ports/Files.h"

namespace zintor {

// Where the known folders are on this machine. Empty fields take the defaults of systemFolders().
struct FolderPaths {
    std::string program;  // the executable's folder
    std::string config;   // $XDG_CONFIG_HOME/Zintor
    std::string log;      // $XDG_STATE_HOME/Zintor/log
    std::string system;   // /usr/lib
    std::string data;     // the program's data: <prefix>/share/zintor beside <prefix>/bin
};

// Real files on a POSIX file system. Names are matched the way the program expects on any
// system: the last element of a path ignoring case (the folders before it exactly).
class PosixFiles : public Files {
  public:
    PosixFiles();  // systemFolders()
    explicit PosixFiles(FolderPaths folders);

    static FolderPaths systemFolders();

    char separator() const override { return '/'; }
    std::string folder(KnownFolder which) override;
    bool exists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool readText(const std::string& path, std::string& out) override;
    bool readLast128(const std::string& path, std::string& out) override;
    bool appendLine(const std::string& path, const std::string& line) override;

  private:
    FolderPaths folders_;
};

}  // namespace zintor
