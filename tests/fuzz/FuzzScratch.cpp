#include "FuzzScratch.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path scratchParent()
{
    const fs::path shared = "/dev/shm";
    if (::access(shared.c_str(), W_OK) == 0)
        return shared;
    return fs::temp_directory_path();
}

[[noreturn]] void giveUp(const char* what, const fs::path& path)
{
    std::fprintf(stderr, "fuzz scratch: cannot %s %s\n", what, path.c_str());
    std::abort();
}

class ScratchDirectory {
public:
    ScratchDirectory()
    {
        std::string pattern = (scratchParent() / "mousecfg-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            giveUp("create", pattern);
        path_ = pattern;
    }
    ~ScratchDirectory()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

const fs::path& fuzzScratchDirectory()
{
    static const ScratchDirectory directory;
    return directory.path();
}

void writeScratchFile(const fs::path& path, std::string_view contents)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error)
        giveUp("create the directory of", path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    if (!out)
        giveUp("write", path);
}
