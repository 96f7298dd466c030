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
    std::vector<std::string> Environment; // "NAME=value" set for the run, after the defaults
};

// Runs multiwardstone-cli with the arguments, feeding `input` to its standard input. HOME,
// XDG_CONFIG_HOME and XDG_DATA_HOME name an empty folder of the run's own unless the setting
// names others, so that no run reads or writes the settings or the library of the user.
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input = {},
              const CliSetting& setting = {});
// The same with a copy of the tool elsewhere.
CliRun RunCliAt(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& input = {}, const CliSetting& setting = {});

} // namespace mw::test
