// A folder of its own under the temporary directory, removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>

class TempFolder {
public:
    explicit TempFolder(const std::filesystem::path &base = std::filesystem::temp_directory_path())
    {
        std::string pattern = (base / "tarnwick-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return path_; }

    std::string write(const std::string &name, const std::string &content, mode_t mode) const
    {
        const std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << content;
        ::chmod(file.c_str(), mode);
        return file.string();
    }

private:
    std::filesystem::path path_;
};
