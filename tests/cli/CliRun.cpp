#include "cli/CliRun.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "TestLibrary.h"

namespace mw::test {

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input,
              const CliSetting& setting) {
    return RunCliAt(CLI_PATH, arguments, input, setting);
}

CliRun RunCliAt(const std::string& tool, const std::vector<std::string>& arguments,
                const std::string& input, const CliSetting& setting) {
    TempFolder folder;
    std::string in = folder.Write("in", input), err = folder.File("err");
    std::string out = setting.StandardOutput.empty() ? folder.File("out") : setting.StandardOutput;
    std::vector<std::string> environment{"HOME=" + folder.Path(),
                                         "XDG_CONFIG_HOME=" + folder.File("config"),
                                         "XDG_DATA_HOME=" + folder.File("data")};
    environment.insert(environment.end(), setting.Environment.begin(), setting.Environment.end());
    const char* program = tool.c_str();
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("cannot start the tool");
    if (child == 0) {
        int fdIn = open(in.c_str(), O_RDONLY);
        int fdOut = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        for (const auto& variable : environment)
            putenv(const_cast<char*>(variable.c_str()));
        int fdErr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fdIn, 0), dup2(fdOut, 1), dup2(fdErr, 2);
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            setting.StandardOutput.empty() ? ReadFile(out) : "", ReadFile(err)};
}

} // namespace mw::test
