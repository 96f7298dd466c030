#pragma once

#include <string>
#include <vector>

namespace mw::test {

// One run of the command-line tool: what it printed and how it ended.
struct CliRun {
    int Status = -1;
    std::string Out, Err;
};

// Runs multiwardstone-cli with the arguments, feeding `input` to its standard input.
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input = {});

} // namespace mw::test
