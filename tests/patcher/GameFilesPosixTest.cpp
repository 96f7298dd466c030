#include "DiskFaults.h"
#include "GameFilesTest.h"
#include "formats/SamplePackage.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// What only POSIX systems have: symbolic links and FIFOs as game files, locks of other programs
// on the package, and writes made to fail by the test seam.

namespace mw {
namespace {

using namespace std::chrono_literals;
using test::Entry;
using test::MultiPatchTest;
using test::SecondPatch;

// A link to the library, a FIFO and a device stand in for game files: refused before anything
// is written.
TEST_F(MultiPatchTest, LinksToTheLibraryFifosAndDevicesAreRefused) {
    Files(Entry(-1, -1), test::OldRecords(2));
    Package(test::PackageBytes(test::SampleMultis({1})));
    const std::string library = targets.LibraryPath = folder.Write("Wardstone.dat", "library");
    const std::string link = folder.File("library-link"), fifo = folder.File("fifo");
    ASSERT_EQ(::symlink(library.c_str(), link.c_str()), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::string* mul = &targets.MultiMulPath;
    std::string* uop = &targets.MultiUopPath;
    ExpectEachRefused({
        {mul, link, err::BadFileNameOrNumber, "is the library"},
        {uop, link, err::BadFileNameOrNumber, "is the library"},
        {mul, fifo, err::BadFileNameOrNumber, "is not a regular file"},
        {mul, "/dev/null", err::BadFileNameOrNumber, "is not a regular file"},
    });
}

// A failing index write is undone with the records before it, and a failure that cannot be
// undone says so instead of passing for a clean refusal.
TEST_F(MultiPatchTest, AFailingIndexWriteIsUndoneOrReportedAsNotUndone) {
    // Index writes that go through, then fail; the failure the patch gives.
    const std::tuple<int, int, long> cases[] = {
        {0, 1, err::PathFileAccessError},    // the entry is not written
        {1, 1, err::PathFileAccessError},    // written, but not flushed to the disk
        {0, 100, err::GameFilesNotRestored}, // nor can the old entry be written back
    };
    for (const auto& [succeeding, failing, number] : cases) {
        Files(Entry(0, 24) + Entry(-1, -1), test::OldRecords(2) + "xyz");
        test::FailingWrites writes(targets.MultiIdxPath, succeeding, failing);
        Refused(five, number);
    }
}

// A patch that waited for the package while its holder replaced it locks the package that took
// its place, which a patch through a hard link to the new one then finds locked.
TEST(GameFilesLock, APackageReplacedDuringTheWaitIsLockedAsItIsNow) {
    test::TempFolder folder, linked;
    const std::string uop = folder.Write("m.uop", "old");
    int holder = ::open(uop.c_str(), O_RDONLY); // the package's lock alone, as a patch holds it
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    std::optional<GameFilesLock> waited;
    std::thread waiting([&] { waited.emplace(std::vector<std::string>{uop}); });
    std::this_thread::sleep_for(200ms); // it now waits for the old package
    std::rename(folder.Write("m.uop.new", "new").c_str(), uop.c_str());
    ::close(holder);
    waiting.join();
    ASSERT_TRUE(waited);
    std::filesystem::create_hard_link(uop, linked.File("m.uop"));
    EXPECT_EQ(SecondPatch({linked.File("m.uop")}), err::GameFilesBusy);
    waited.reset();
    EXPECT_EQ(SecondPatch({linked.File("m.uop")}), 0);
}

} // namespace
} // namespace mw
