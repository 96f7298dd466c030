#pragma once

#include <string>
#include <vector>

namespace mw::test {

// One run of the command-line tool: what it printed and how it ended.
struct CliRun {
    int Status = -1;
    std::string Out, Err;
};

// Where a run differs from a plain one.
struct CliSetting {
    std::string StandardOutput;           // a file to write it to instead of capturing it
    std::vector<std::string> Environment; // "NAME=value" set for the run
};

// Runs multiwardstone-cli with the arguments, feeding `input` to its standard input.
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input = {},
              const CliSetting& setting = {});

} // namespace mw::test
