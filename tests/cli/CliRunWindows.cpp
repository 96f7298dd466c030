#include "cli/CliRun.h"

#include "TestLibrary.h"

#include <map>
#include <stdexcept>

#include <windows.h>

namespace mw::test {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// One argument as CommandLineToArgvW reads it back: quoted, with the backslashes before a quote
// doubled.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

// This process's environment with the run's variables set over it, as CreateProcessW takes it.
std::wstring EnvironmentBlock(const std::vector<std::string>& variables) {
    std::map<std::wstring, std::wstring> values;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* entry = own; *entry; entry += wcslen(entry) + 1) {
        std::wstring text = entry;
        size_t equals = text.find(L'=', 1);
        if (equals != std::wstring::npos) values[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsW(own);
    for (const std::string& variable : variables) {
        std::wstring text = Wide(variable);
        size_t equals = text.find(L'=');
        values[text.substr(0, equals)] = text.substr(equals + 1);
    }
    std::wstring block;
    for (const auto& [name, value] : values)
        block += name + L"=" + value + L'\0';
    return block + L'\0';
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE handle = CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
    return handle;
}

} // namespace

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
    std::wstring commandLine = Quoted(Wide(tool));
    for (const std::string& argument : arguments)
        commandLine += L" " + Quoted(Wide(argument));
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = Inheritable(in, GENERIC_READ, OPEN_EXISTING);
    start.hStdOutput = Inheritable(out, GENERIC_WRITE, CREATE_ALWAYS);
    start.hStdError = Inheritable(err, GENERIC_WRITE, CREATE_ALWAYS);
    std::wstring block = EnvironmentBlock(environment);
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(Wide(tool).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                  CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(),
                                  nullptr, &start, &process);
    for (HANDLE handle : {start.hStdInput, start.hStdOutput, start.hStdError})
        CloseHandle(handle);
    if (!started) throw std::runtime_error("cannot start the tool");
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {static_cast<int>(status), setting.StandardOutput.empty() ? ReadFile(out) : "",
            ReadFile(err)};
}

} // namespace mw::test
