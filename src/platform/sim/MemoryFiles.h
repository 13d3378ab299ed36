#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/ports/Files.h"

namespace zintor {

// A file system in memory: absolute paths with '/' as separator, files as byte strings, and a
// set of folders ("/" always exists). The known folders exist from the start. Like the real one,
// exists() compares the last path element ignoring case, createFolder() makes one level only,
// and appendLine() needs the file's folder to exist.
class MemoryFiles : public Files {
  public:
    MemoryFiles();

    // Files
    char separator() const override { return '/'; }
    std::string folder(KnownFolder which) override;
    bool exists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool readText(const std::string& path, std::string& out) override;
    bool readLast128(const std::string& path, std::string& out) override;
    bool appendLine(const std::string& path, const std::string& line) override;

    // Test side.
    void setFolder(KnownFolder which, const std::string& path);   // also creates it
    void putFile(const std::string& path, std::string contents);  // creates its folders too
    void addFolder(const std::string& path);                      // with all its parents
    void remove(const std::string& path);
    std::string contents(const std::string& path) const;  // "" when missing
    const std::map<std::string, std::string>& files() const { return files_; }
    // Paths that cannot be read or written (as if locked or without permission).
    void setUnreadable(const std::string& path) { unreadable_.insert(path); }
    void setUnwritable(const std::string& path) { unwritable_.insert(path); }
    // Folders that createFolder cannot make.
    void setUncreatable(const std::string& path) { uncreatable_.insert(path); }

    static std::string parentOf(const std::string& path);

  private:
    bool matchesIgnoringLastCase(const std::string& a, const std::string& b) const;
    bool readable(const std::string& path) const;

    std::map<KnownFolder, std::string> known_;
    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
    std::set<std::string> unreadable_;
    std::set<std::string> unwritable_;
    std::set<std::string> uncreatable_;
};

}  // namespace zintor
