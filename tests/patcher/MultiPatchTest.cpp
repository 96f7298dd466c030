#include "MultiBytes.h"
#include "TestLibrary.h"

#include "common/RunError.h"
#include "common/TextFile.h"
#include "patcher/PatchGameFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {
namespace {

using test::Entry;
using test::Marker;
using test::Record;

bool SetImmutable(const std::string& path, bool on) {
    int fd = ::open(path.c_str(), O_RDONLY), flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) ::close(fd);
    return done;
}

// Makes a file refuse to be opened for writing while it lives, even for root, who ignores the
// mode bits; Works() is false when the file system offers no way to do that.
class Unwritable {
public:
    explicit Unwritable(std::string path) : path_(std::move(path)) {
        ::chmod(path_.c_str(), 0444);
        if (!Works()) immutable_ = SetImmutable(path_, true);
    }
    ~Unwritable() {
        if (immutable_) SetImmutable(path_, false);
        ::chmod(path_.c_str(), 0644);
    }
    bool Works() const {
        int fd = ::open(path_.c_str(), O_RDWR);
        if (fd >= 0) ::close(fd);
        return fd < 0;
    }

private:
    std::string path_;
    bool immutable_ = false;
};

class MultiPatchTest : public ::testing::Test {
protected:
    void Files(const std::string& idx, const std::string& mul) {
        idxBytes = idx, mulBytes = mul;
        folder.Write("multi.idx", idx);
        folder.Write("multi.mul", mul);
    }
    PatchResult Patch(const ComponentBuffer& buffer, const Progress& progress = {}) {
        return PatchMulFiles(buffer, idxPath, mulPath, recordSize, progress);
    }
    // The patch fails with the number given and leaves both files exactly as they were.
    RunError Refused(const ComponentBuffer& buffer, long number) {
        try {
            Patch(buffer);
        } catch (const RunError& failure) {
            EXPECT_EQ(failure.Number, number) << failure.Description;
            ExpectUnchanged();
            return failure;
        }
        ADD_FAILURE() << "the patch was not refused";
        return RunError(0, "");
    }
    void ExpectUnchanged() {
        EXPECT_EQ(test::ReadFile(idxPath), idxBytes);
        EXPECT_EQ(test::ReadFile(mulPath), mulBytes);
    }

    test::TempFolder folder;
    std::string idxPath = folder.File("multi.idx"), mulPath = folder.File("multi.mul");
    std::string idxBytes, mulBytes;
    RecordSizeChoice recordSize = RecordSizeChoice::Twelve; // files of free entries only tell none
    ComponentBuffer five = test::BufferOf({{"1187", "0", "0", "0", "1"},
                                           {"1188", "-1", "2", "5", "0"},
                                           {"1189", "4", "-3", "0", "1"},
                                           {"7", "-32768", "32767", "-128", "1"},
                                           {"1653", "0", "-3", "0", "0"}});
    std::string fiveRecords = Record(1187, 0, 0, 0, 1) + Record(1188, -1, 2, 5, 0) +
                              Record(1189, 4, -3, 0, 1) + Record(7, -32768, 32767, -128, 1) +
                              Record(1653, 0, -3, 0, 0);
};

TEST_F(MultiPatchTest, WorkedExampleFillsEntryFourAndAppendsAtByte1200) {
    std::string used = Entry(0, 24, 0) + Entry(24, 600, 7) + Entry(624, 576, 0);
    std::string after = Entry(-1, -1, 0) + Entry(-1, -1, 0);
    Files(used + Entry(-1, -1, 0) + after, test::OldRecords(100));
    PatchResult place = Patch(five);
    EXPECT_EQ(place.PatchSlot, 4);
    EXPECT_EQ(place.MulAppendRecord, 101);
    EXPECT_EQ(MultiItemId(place.PatchSlot), 0x4003);
    EXPECT_EQ(test::ReadFile(idxPath), used + Entry(1200, 72, -1) + after);
    EXPECT_EQ(test::ReadFile(mulPath), test::OldRecords(100) + Marker + fiveRecords);
}

TEST_F(MultiPatchTest, OnlyLengthMinusOneMarksAFreeEntry) {
    Files(Entry(-1, -1), "");
    EXPECT_EQ(Patch(five).PatchSlot, 1);
    EXPECT_EQ(MultiItemId(1), 0x4000);
    EXPECT_EQ(test::ReadFile(idxPath), Entry(0, 72, -1));

    // Lookup -1 with other lengths is in use; an all-zero entry is an empty multi, not the end.
    std::string skipped = Entry(-1, 0) + Entry(-1, 24) + Entry(0, 0) + Entry(5, -2);
    Files(skipped + Entry(36, -1, 9) + "12345", "");
    EXPECT_EQ(Patch(five).PatchSlot, 5);
    EXPECT_EQ(test::ReadFile(idxPath), skipped + Entry(0, 72, -1) + "12345");
}

TEST_F(MultiPatchTest, RecordsGoAfterTheLastWholeRecord) {
    Files(Entry(-1, -1), "");
    EXPECT_EQ(Patch(five).MulAppendRecord, 1);
    EXPECT_EQ(test::ReadFile(idxPath), Entry(0, 72, -1));
    EXPECT_EQ(test::ReadFile(mulPath), Marker + fiveRecords);

    // Five trailing bytes are a partial record: the new records overwrite them.
    Files(Entry(-1, -1), test::OldRecords(100) + "abcde");
    EXPECT_EQ(Patch(five).MulAppendRecord, 101);
    EXPECT_EQ(test::ReadFile(idxPath), Entry(1200, 72, -1));
    EXPECT_EQ(test::ReadFile(mulPath), test::OldRecords(100) + Marker + fiveRecords);
}

TEST_F(MultiPatchTest, TwoPatchesTakeTwoEntriesAndAppendBehindEachOther) {
    Files(Entry(0, 24) + Entry(-1, -1) + Entry(-1, -1) + Entry(-1, -1), test::OldRecords(2));
    auto one = test::BufferOf({{"1", "2", "3", "4", "1"}});
    EXPECT_EQ(Patch(one).PatchSlot, 2);
    PatchResult second = Patch(five);
    EXPECT_EQ(second.PatchSlot, 3);
    EXPECT_EQ(second.MulAppendRecord, 5);
    EXPECT_EQ(test::ReadFile(idxPath),
              Entry(0, 24) + Entry(24, 24, -1) + Entry(48, 72, -1) + Entry(-1, -1));
    EXPECT_EQ(test::ReadFile(mulPath),
              test::OldRecords(2) + Marker + Record(1, 2, 3, 4, 1) + Marker + fiveRecords);
}

TEST_F(MultiPatchTest, ItemIdsAreWrittenAsTheirUnsigned16BitValue) {
    Files(Entry(-1, -1), "");
    Patch(test::BufferOf({{"16384", "0", "0", "0", "1"},
                          {"32767", "0", "0", "0", "1"},
                          {"32768", "0", "0", "0", "1"},
                          {"65535", "0", "0", "0", "1"},
                          {"-23892", "0", "0", "0", "1"},
                          {"-1", "0", "0", "0", "1"}}));
    EXPECT_EQ(test::ReadFile(mulPath), Marker + Record(0x4000, 0, 0, 0, 1) +
                                           Record(0x7FFF, 0, 0, 0, 1) + Record(0x8000, 0, 0, 0, 1) +
                                           Record(0xFFFF, 0, 0, 0, 1) + Record(0xA2AC, 0, 0, 0, 1) +
                                           Record(0xFFFF, 0, 0, 0, 1));
}

TEST_F(MultiPatchTest, MissingIndexOrNoFreeEntryIsTheFileNotFoundFailure) {
    Files(Entry(0, 24) + Entry(24, 12), test::OldRecords(3));
    EXPECT_NE(Refused(five, err::MultiFilesNotFound).Description.find("No free entry"),
              std::string::npos);
    Files("", test::OldRecords(3));
    Refused(five, err::MultiFilesNotFound);

    RemoveFile(idxPath);
    Refused(five, err::MultiFilesNotFound);
    EXPECT_FALSE(FileExists(idxPath));
    for (std::string path : {std::string(), folder.File("missing/multi.idx")}) {
        idxPath = path;
        Refused(five, err::MultiFilesNotFound);
    }
}

TEST_F(MultiPatchTest, MissingDataFileIsAnOrdinaryFailureAndNeverCreated) {
    Files(Entry(-1, -1), "");
    RemoveFile(mulPath);
    try {
        Patch(five);
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::FileNotFound);
    }
    EXPECT_FALSE(FileExists(mulPath));
    EXPECT_EQ(test::ReadFile(idxPath), idxBytes);
}

TEST_F(MultiPatchTest, RefusedTemplatesLeaveBothFilesAsTheyWere) {
    Files(Entry(0, 24) + Entry(-1, -1), test::OldRecords(2) + "xyz");
    Refused(ComponentBuffer(), err::SubscriptOutOfRange);

    struct Case {
        std::array<std::string, 5> Component;
        long Number;
        const char* Named;
    } cases[] = {
        {{"65536", "0", "0", "0", "1"}, err::Overflow, "Component 3, item id"},
        {{"-32769", "0", "0", "0", "1"}, err::Overflow, "Component 3, item id"},
        {{"1", "32768", "0", "0", "1"}, err::Overflow, "Component 3, x"},
        {{"1", "0", "-32769", "0", "1"}, err::Overflow, "Component 3, y"},
        {{"1", "0", "0", "z", "1"}, err::TypeMismatch, "Component 3, z"},
        {{"1", "0", "0", "0", ""}, err::TypeMismatch, "Component 3, flag"},
    };
    for (const Case& c : cases) {
        auto buffer = test::BufferOf({{"1", "0", "0", "0", "1"}, {"2", "0", "0", "0", "1"}});
        size_t i = AppendComponent(buffer);
        buffer.ItemID[i] = c.Component[0], buffer.X[i] = c.Component[1];
        buffer.Y[i] = c.Component[2], buffer.Z[i] = c.Component[3], buffer.Flag[i] = c.Component[4];
        buffer.ComponentCount = 3;
        EXPECT_EQ(Refused(buffer, c.Number).Description.rfind(c.Named, 0), 0u) << c.Named;
    }
}

TEST_F(MultiPatchTest, ReadOnlyFilesAreRefusedBeforeAnythingIsWritten) {
    Files(Entry(-1, -1), test::OldRecords(2));
    {
        Unwritable readOnly(mulPath);
        if (!readOnly.Works()) GTEST_SKIP() << "cannot make a file read-only here";
        Refused(five, err::PermissionDenied);
    }
    Unwritable readOnly(idxPath);
    Refused(five, err::PermissionDenied);
}

TEST_F(MultiPatchTest, BothPathsNamingOneFileAreRefused) {
    std::string both = Entry(-1, -1) + test::OldRecords(2);
    Files(both, both);
    mulPath = idxPath;
    try {
        Patch(five);
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::BadFileNameOrNumber);
    }
    EXPECT_EQ(test::ReadFile(idxPath), both);
}

TEST_F(MultiPatchTest, DataFileTooBigForAnEntryIsRefused) {
    Files(Entry(-1, -1), "");
    ASSERT_EQ(::truncate(mulPath.c_str(), (std::int64_t{1} << 31) + 12), 0); // sparse
    EXPECT_THROW(Patch(five), RunError);
    EXPECT_EQ(test::ReadFile(idxPath), idxBytes);
    struct stat info {};
    ::stat(mulPath.c_str(), &info);
    EXPECT_EQ(info.st_size, (std::int64_t{1} << 31) + 12);
}

// A failure after the records are written and before the entry is written: no entry points at
// them, and multi.mul is put back as it was.
TEST_F(MultiPatchTest, FailureBetweenRecordsAndEntryLeavesNoEntryPointingAtMissingData) {
    Files(Entry(0, 24) + Entry(-1, -1), test::OldRecords(2) + "xyz");
    bool recordsWereWritten = false;
    Progress failAfterRecords = [&](std::int64_t done, std::int64_t total) {
        if (done < total) return true;
        recordsWereWritten = test::ReadFile(mulPath) == test::OldRecords(2) + Marker + fiveRecords;
        EXPECT_EQ(test::ReadFile(idxPath), idxBytes); // the entry comes last
        return false;
    };
    try {
        Patch(five, failAfterRecords);
        FAIL();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::Cancelled);
    }
    EXPECT_TRUE(recordsWereWritten);
    ExpectUnchanged();
}

} // namespace
} // namespace mw
