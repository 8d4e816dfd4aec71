#include "cli/MouseCtl.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

int main(int argc, char** argv)
{
    // config.xml and the profile files lie beside the executable by default.
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path directory = error ? std::filesystem::current_path() : executable.parent_path();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return runMouseCtl(arguments, directory, std::cout, std::cerr);
}
