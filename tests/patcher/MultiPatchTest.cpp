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
        return PatchMulFiles(buffer, idxPath, mulPath, RecordSizeChoice::Twelve, progress);
    }
    // The patch fails with the number given and leaves both files exactly as they were.
    RunError Refused(const ComponentBuffer& buffer, long number, const Progress& progress = {}) {
        auto failure = test::FailureOf([&] { Patch(buffer, progress); });
        EXPECT_EQ(failure ? failure->Number : 0, number) << (failure ? failure->Description : "");
        EXPECT_EQ(test::ReadFile(idxPath), idxBytes);
        EXPECT_EQ(test::ReadFile(mulPath), mulBytes);
        return failure.value_or(RunError(0, ""));
    }
    void ExpectFiles(const std::string& idx, const std::string& mul) {
        EXPECT_EQ(test::ReadFile(idxPath), idx);
        EXPECT_EQ(test::ReadFile(mulPath), mul);
    }

    test::TempFolder folder;
    std::string idxPath = folder.File("multi.idx"), mulPath = folder.File("multi.mul");
    std::string idxBytes, mulBytes;
    ComponentBuffer five = test::BufferWith({{"1187", "0", "0", "0", "1"},
                                             {"1188", "-1", "2", "5", "0"},
                                             {"1189", "4", "-3", "0", "1"},
                                             {"7", "-32768", "32767", "-128", "1"},
                                             {"1653", "0", "-3", "0", "0"}});
    std::string fiveRecords = Marker + Record(1187, 0, 0, 0, 1) + Record(1188, -1, 2, 5, 0) +
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
    ExpectFiles(used + Entry(1200, 72, -1) + after, test::OldRecords(100) + fiveRecords);
}

TEST_F(MultiPatchTest, OnlyLengthMinusOneMarksAFreeEntry) {
    Files(Entry(-1, -1), "");
    EXPECT_EQ(Patch(five).PatchSlot, 1);
    ExpectFiles(Entry(0, 72, -1), fiveRecords);

    // Lookup -1 with other lengths is in use; an all-zero entry is an empty multi, not the end.
    std::string skipped = Entry(-1, 0) + Entry(-1, 24) + Entry(0, 0) + Entry(5, -2);
    Files(skipped + Entry(36, -1, 9) + "12345", "");
    EXPECT_EQ(Patch(five).PatchSlot, 5);
    ExpectFiles(skipped + Entry(0, 72, -1) + "12345", fiveRecords);
}

TEST_F(MultiPatchTest, RecordsOverwriteAPartialRecordAtTheEnd) {
    Files(Entry(-1, -1), test::OldRecords(100) + "abcde");
    EXPECT_EQ(Patch(five).MulAppendRecord, 101);
    ExpectFiles(Entry(1200, 72, -1), test::OldRecords(100) + fiveRecords);
}

TEST_F(MultiPatchTest, TwoPatchesTakeTwoEntriesAndAppendBehindEachOther) {
    Files(Entry(0, 24) + Entry(-1, -1) + Entry(-1, -1) + Entry(-1, -1), test::OldRecords(2));
    EXPECT_EQ(Patch(test::BufferWith({{"1", "2", "3", "4", "1"}})).PatchSlot, 2);
    PatchResult second = Patch(five);
    EXPECT_EQ(second.PatchSlot, 3);
    EXPECT_EQ(second.MulAppendRecord, 5);
    ExpectFiles(Entry(0, 24) + Entry(24, 24, -1) + Entry(48, 72, -1) + Entry(-1, -1),
                test::OldRecords(2) + Marker + Record(1, 2, 3, 4, 1) + fiveRecords);
}

TEST_F(MultiPatchTest, ItemIdsAreWrittenAsTheirUnsigned16BitValue) {
    Files(Entry(-1, -1), "");
    std::string records = Marker;
    std::vector<std::array<std::string, 5>> components;
    for (auto [text, id] : {std::pair{"16384", 0x4000},
                            {"32767", 0x7FFF},
                            {"32768", 0x8000},
                            {"65535", 0xFFFF},
                            {"-23892", 0xA2AC},
                            {"-1", 0xFFFF}}) {
        components.push_back({text, "0", "0", "0", "1"});
        records += Record(id, 0, 0, 0, 1);
    }
    Patch(test::BufferWith(components));
    ExpectFiles(Entry(0, 84, -1), records);
}

TEST_F(MultiPatchTest, MissingFilesOrNoFreeEntryAreRefusedAndNothingIsCreated) {
    Files(Entry(0, 24) + Entry(24, 12), test::OldRecords(3));
    EXPECT_NE(Refused(five, err::MultiFilesNotFound).Description.find("No free entry"),
              std::string::npos);
    Files("", test::OldRecords(3));
    Refused(five, err::MultiFilesNotFound);

    Files(Entry(-1, -1), test::OldRecords(2));
    const std::string idx = idxPath, mul = mulPath, missing = folder.File("missing");
    struct Case {
        std::string Idx, Mul;
        long Number;
    } cases[] = {{missing, mul, err::MultiFilesNotFound},
                 {"", mul, err::MultiFilesNotFound},
                 {folder.File("missing/multi.idx"), mul, err::MultiFilesNotFound},
                 {idx, missing, err::FileNotFound},
                 {idx, idx, err::BadFileNameOrNumber}}; // both paths naming one file
    for (const Case& c : cases) {
        idxPath = c.Idx, mulPath = c.Mul;
        EXPECT_EQ(test::FailureNumber([&] { Patch(five); }), c.Number) << c.Idx << " " << c.Mul;
    }
    EXPECT_EQ(test::FileNames(folder.Path()), (std::vector<std::string>{"multi.idx", "multi.mul"}));
    idxPath = idx, mulPath = mul;
    ExpectFiles(idxBytes, mulBytes);
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
        auto buffer =
            test::BufferWith({{"1", "0", "0", "0", "1"}, {"2", "0", "0", "0", "1"}, c.Component});
        EXPECT_EQ(Refused(buffer, c.Number).Description.rfind(c.Named, 0), 0u) << c.Named;
    }
}

TEST_F(MultiPatchTest, ReadOnlyFilesAreRefusedBeforeAnythingIsWritten) {
    Files(Entry(-1, -1), test::OldRecords(2));
    for (const std::string& path : {mulPath, idxPath}) {
        Unwritable readOnly(path);
        if (!readOnly.Works()) GTEST_SKIP() << "cannot make a file read-only here";
        Refused(five, err::PermissionDenied);
    }
}

TEST_F(MultiPatchTest, DataFileTooBigForAnEntryIsRefused) {
    Files(Entry(-1, -1), "");
    const std::int64_t size = (std::int64_t{1} << 31) + 12;
    ASSERT_EQ(::truncate(mulPath.c_str(), size), 0); // sparse
    EXPECT_EQ(test::FailureNumber([&] { Patch(five); }), err::Overflow);
    EXPECT_EQ(test::ReadFile(idxPath), idxBytes);
    struct stat info {};
    ::stat(mulPath.c_str(), &info);
    EXPECT_EQ(info.st_size, size);
}

// A failure after the records are written and before the entry is written: no entry points at
// them, and multi.mul is put back as it was.
TEST_F(MultiPatchTest, FailureBetweenRecordsAndEntryLeavesNoEntryPointingAtMissingData) {
    Files(Entry(0, 24) + Entry(-1, -1), test::OldRecords(2) + "xyz");
    bool recordsWereWritten = false;
    Refused(five, err::Cancelled, [&](std::int64_t done, std::int64_t total) {
        if (done < total) return true;
        recordsWereWritten = test::ReadFile(mulPath) == test::OldRecords(2) + fiveRecords;
        EXPECT_EQ(test::ReadFile(idxPath), idxBytes); // the entry comes last
        return false;
    });
    EXPECT_TRUE(recordsWereWritten);
}

} // namespace
} // namespace mw
