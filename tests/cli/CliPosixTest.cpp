#include "MultiFilesBuilder.h"
#include "cli/CliFixture.h"
#include "common/Files.h"
#include "patcher/MultiBytes.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

// The command line among what only POSIX systems have: links, FIFOs, owners, devices and the
// environment's temporary folder.

namespace mw::test {
namespace {

// A pseudo-terminal for a run's standard output, raw (no line-end translation). The test holds
// its terminal end open, so that what a run wrote stays readable once the run has ended.
struct PseudoTerminal {
    int Master = ::posix_openpt(O_RDWR | O_NOCTTY), Terminal = -1;
    std::string Name;
    PseudoTerminal() {
        if (Master < 0 || ::grantpt(Master) != 0 || ::unlockpt(Master) != 0) return;
        Name = ::ptsname(Master);
        Terminal = ::open(Name.c_str(), O_RDWR | O_NOCTTY);
        termios raw{};
        ::tcgetattr(Terminal, &raw), ::cfmakeraw(&raw), ::tcsetattr(Terminal, TCSANOW, &raw);
    }
    ~PseudoTerminal() { ::close(Terminal), ::close(Master); }
    // What reached the terminal, read until nothing more arrives for a moment.
    std::string Received() const {
        std::string text(4096, '\0');
        size_t size = 0;
        for (pollfd ready{Master, POLLIN, 0}; size < text.size() && ::poll(&ready, 1, 500) == 1;) {
            ssize_t n = ::read(Master, text.data() + size, text.size() - size);
            if (n <= 0) break;
            size += static_cast<size_t>(n);
        }
        return text.substr(0, size);
    }
};

// An output goes where its path leads: through a symbolic link, straight into a FIFO, and a
// replaced file keeps its mode and owner.
TEST_F(CliTest, OutputsGoThroughLinksAndFifosAndKeepModeAndOwner) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Cottage").Status, 0);
    const std::string text = Cli({"show", "1"}).Out;
    const TempFolder& folder = library.Folder;
    auto exportTo = [&](const std::string& path) {
        CliRun run = Cli({"export", "1", path});
        EXPECT_EQ(run.Status == 0, run.Err.empty()) << run.Err; // a success says nothing
        return run.Status;
    };

    std::string real = folder.Write("real.KivT", "old"), link = folder.File("link.KivT");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    EXPECT_EQ(exportTo(link), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(real), text);

    std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int pipe = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK); // a reader that never blocks the test
    EXPECT_EQ(exportTo(fifo), 0);
    std::string received(4096, '\0');
    received.resize(static_cast<size_t>(std::max<ssize_t>(0, ::read(pipe, received.data(), 4096))));
    ::close(pipe);
    EXPECT_EQ(received, text);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    std::string owned = folder.Write("owned.KivT", "old");
    ::chmod(owned.c_str(), 0640);
    const bool chowned = ::chown(owned.c_str(), 1234, 1234) == 0; // as root
    EXPECT_EQ(exportTo(owned), 0);
    struct stat info {};
    ::stat(owned.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (chowned) {
        EXPECT_EQ(info.st_uid, 1234u);
    }
}

// Input that never ends a line and a temporary folder that does not exist end with a message
// and status 1.
TEST_F(CliTest, FailuresOfTheSurroundingsEndWithAMessage) {
    CliRun endless = ImportTxt("/dev/zero", "Zero");
    EXPECT_EQ(endless.Status, 1);
    EXPECT_NE(endless.Err.find("longer than 1 MiB"), std::string::npos) << endless.Err;
    SampleMultiFiles game(library.Folder);
    CliRun noTemp = RunCli({"import", "--db", library.Path, "--from", "muls", "3", "--idx",
                            game.Paths.MultiIdxPath, "--mul", game.Paths.MultiMulPath, "--category",
                            "C", "--subsection", "S", "--description", "D", "--create"},
                           {}, {{}, {"TMPDIR=/nonexistent"}});
    EXPECT_EQ(noTemp.Status, 1);
    EXPECT_NE(noTemp.Err.find("/nonexistent"), std::string::npos) << noTemp.Err;
}

// When standard output cannot take the report of an import or a patch, the change stays made:
// status 3, and standard error says what was stored (the template's id) or patched, so that a
// script that sees the failure does not do it again.
TEST_F(CliTest, AChangeWhoseReportIsLostSaysWhatItDid) {
    const CliSetting full{"/dev/full", {}};
    CliRun stored =
        RunCli({"import", "--db", library.Path, "--from", "txt", DataFile("extract-lf.txt"),
                "--category", "C", "--subsection", "S", "--description", "Tower", "--create"},
               {}, full);
    EXPECT_EQ(stored.Status, 3);
    EXPECT_NE(stored.Err.find("Stored template 1 \"Tower\" (3 components), but cannot write "
                              "\"standard output\": No space left on device"),
              std::string::npos)
        << stored.Err;
    EXPECT_EQ(Cli({"list"}).Out, "C\tS\t1\tTower\t3\n");

    CliRun batch = RunCli(
        {"import", "--db", library.Path, "--from", "uoa", DataFile("designs-batch.uoa")}, {}, full);
    EXPECT_EQ(batch.Status, 3);
    EXPECT_NE(batch.Err.find("Stored 5 templates 2, 3, 4, 5, 6 ("), std::string::npos) << batch.Err;
    const std::string listed = Cli({"list"}).Out;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 6);

    std::string idx = library.Folder.Write("multi.idx", Entry(0, 24) + Entry(-1, -1));
    std::string mul = library.Folder.Write("multi.mul", OldRecords(2));
    CliRun patched =
        RunCli({"patch", "1", "--db", library.Path, "--idx", idx, "--mul", mul}, {}, full);
    EXPECT_EQ(patched.Status, 3);
    EXPECT_NE(patched.Err.find("Patched entry 2, multi 0x1, item 0x4001, but cannot write"),
              std::string::npos)
        << patched.Err;

    // The library's own edits too.
    CliRun renamed = RunCli({"rename", "1", "Keep", "--db", library.Path}, {}, full);
    EXPECT_EQ(renamed.Status, 3);
    EXPECT_NE(renamed.Err.find("Changed: template 1: \"Tower\" -> \"Keep\", but cannot write"),
              std::string::npos)
        << renamed.Err;
    CliRun copied = RunCli({"copy", "1", "--db", library.Path}, {}, full);
    EXPECT_EQ(copied.Status, 3);
    EXPECT_NE(copied.Err.find("Copied template 1 as template 7, but cannot write"),
              std::string::npos)
        << copied.Err;
    EXPECT_NE(Cli({"list"}).Out.find("\t7\tCopy of Keep\t3\n"), std::string::npos);
}

// A name's control characters reach a terminal escaped, as \x1b; a file gets them as stored.
TEST_F(CliTest, ListEscapesControlCharactersOnATerminalOnly) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Red\x1b[31m\x7f").Status, 0);
    EXPECT_EQ(Cli({"list"}).Out, "Houses\tSmall\t1\tRed\x1b[31m\x7f\t3\n");
    PseudoTerminal terminal;
    if (terminal.Terminal < 0) GTEST_SKIP() << "no pseudo-terminal here";
    CliRun listed = RunCli({"list", "--db", library.Path}, {}, {terminal.Name, {}});
    EXPECT_EQ(listed.Status, 0) << listed.Err;
    EXPECT_EQ(terminal.Received(), "Houses\tSmall\t1\tRed\\x1b[31m\\x7f\t3\n");
}

} // namespace
} // namespace mw::test
