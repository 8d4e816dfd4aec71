#pragma once

#include <span>
#include <string>

// What the command line asks for.
struct CommandLineOptions {
    bool simulate = false;  // plug in the built-in simulated mouse
    bool trace = false;     // device trace on standard output
    bool showVersion = false;
    bool showHelp = false;
    std::string error;      // set for an unknown option or a stray argument
};

// Reads the arguments after the program name.
CommandLineOptions parseCommandLine(std::span<const char* const> arguments);

// The text --help prints.
std::string commandLineHelp(const std::string& programName);
