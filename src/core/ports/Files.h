#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace zintor {

enum class KnownFolder {
    kProgram,  // where the executable lives (data files installed beside it)
    kConfig,   // the user's configuration folder for Zintor ($XDG_CONFIG_HOME/Zintor)
    kLog,      // where diagnostic logs go ($XDG_STATE_HOME/Zintor/log)
    kSystem,   // the platform's system folder (no trailing separator)
    kData,     // the data files installed with the program (<prefix>/share/zintor)
};

class Files {
  public:
    virtual ~Files() = default;

    virtual char separator() const = 0;
    virtual std::string folder(KnownFolder which) = 0;

    // A file or a folder of that name exists; the last path element compares ignoring case.
    virtual bool exists(const std::string& path) = 0;
    virtual bool folderExists(const std::string& path) = 0;
    // Creates the last level only; true when the folder exists afterwards.
    virtual bool createFolder(const std::string& path) = 0;

    // Whole file as bytes. False when it cannot be read.
    virtual bool readText(const std::string& path, std::string& out) = 0;
    // The last 128 bytes; false when the file cannot be read or is shorter than 128 bytes.
    virtual bool readLast128(const std::string& path, std::string& out) = 0;
    // Text lines without their line ends (LF or CR LF). False when the file cannot be read.
    bool readLines(const std::string& path, std::vector<std::string>& out) {
        std::string text;
        if (!readText(path, text)) {
            return false;
        }
        out.clear();
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            out.push_back(std::move(line));
            start = end + 1;
        }
        return true;
    }
    // Appends `line` and CR LF, creating the file. False when it cannot be written.
    virtual bool appendLine(const std::string& path, const std::string& line) = 0;
};

}  // namespace zintor
