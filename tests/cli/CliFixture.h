#pragma once

#include "TestLibrary.h"
#include "cli/CliRun.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mw::test {

// A library of the test's own, and the command line run on it.
class CliTest : public ::testing::Test {
protected:
    CliRun Cli(std::vector<std::string> arguments, const std::string& input = {}) {
        arguments.insert(arguments.begin() + 1, {"--db", library.Path});
        return RunCli(arguments, input);
    }
    // Imports into Houses/Small, made when missing; `source` is what follows --from.
    CliRun Import(std::vector<std::string> source, const std::string& description,
                  const std::string& input = {}) {
        source.insert(source.begin(), {"import", "--from"});
        source.insert(source.end(), {"--category", "Houses", "--subsection", "Small",
                                     "--description", description, "--create"});
        return Cli(source, input);
    }
    CliRun ImportTxt(const std::string& path, const std::string& description,
                     const std::string& input = {}) {
        return Import({"txt", path}, description, input);
    }

    TestLibrary library;
};

} // namespace mw::test
