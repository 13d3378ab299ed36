#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zintor::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zintor-media-XXXXXX");
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string{};
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

    // Writes `bytes` to `name` (folders created); returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = std::filesystem::path(path_) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

  private:
    std::string path_;
};

}  // namespace zintor::testing
