#include "TestLibrary.h"

#include "common/Files.h"
#include "common/Platform.h"
#include "store/CTempIndex.h"
#include "store/CreateLibrary.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace mw {
namespace {

using namespace test;

// A library file as some mishap left it, written at `path`.
struct Damage {
    const char* Kind;
    std::function<void(const std::string& path)> Make;
    const char* Found; // what the message says of it; empty: a sound library that opens
};

std::string SoundLibrary() {
    TestLibrary library;
    return ReadFile(library.Path);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(platform::FsPath(path), std::ios::binary) << bytes;
}

std::string Garbage() {
    std::mt19937 random(7);
    std::string bytes(8192, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

std::string WithoutLine(std::string text, const std::string& line) {
    return text.erase(text.find(line), line.size());
}

const std::vector<Damage>& Damages() {
    static const std::vector<Damage> damages = {
        {"sound", [](const std::string& path) { WriteBytes(path, SoundLibrary()); }, ""},
        {"garbage", [](const std::string& path) { WriteBytes(path, Garbage()); },
         "it is not a MultiWardstone library (file is not a database)"},
        {"cut at half",
         [](const std::string& path) {
             std::string bytes = SoundLibrary();
             WriteBytes(path, bytes.substr(0, bytes.size() / 2));
         },
         "it is damaged or cut short (database disk image is malformed)"},
        {"cut in the header",
         [](const std::string& path) { WriteBytes(path, SoundLibrary().substr(0, 50)); },
         "it is damaged or cut short (database disk image is malformed)"},
        {"empty", [](const std::string& path) { WriteBytes(path, ""); },
         "the file is empty (0 bytes), not a MultiWardstone library"},
        {"other tables",
         [](const std::string& path) { CreateEmptyLibrary(path, "create table Notes(Text);"); },
         "it is not a MultiWardstone library (it has no table Category)"},
        {"a column missing",
         [](const std::string& path) {
             std::string schema = ReadWholeFile(SCHEMA_FILE);
             CreateEmptyLibrary(path, WithoutLine(schema, "    Flag integer check (Flag between "
                                                          "-32768 and 32767),\n"));
         },
         "it is not a MultiWardstone library (its table TemplateBlocks has no column Flag)"},
    };
    return damages;
}

// Whatever the file holds, opening it and reading writes nothing into it and leaves no journal
// beside it; what is not a library is refused saying what was found where, and what to do.
TEST(DamagedLibrary, IsRefusedSayingWhatWasFoundAndLeftAsItIs) {
    for (const Damage& damage : Damages()) {
        SCOPED_TRACE(damage.Kind);
        TempFolder folder;
        const std::string path = folder.File("Wardstone.dat");
        damage.Make(path);
        // Whole seconds: the Windows build's file times are kept no finer.
        const auto longAgo = std::chrono::floor<std::chrono::seconds>(
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        std::filesystem::last_write_time(platform::FsPath(path), longAgo);
        const std::string bytes = ReadFile(path);

        Connection cn(path);
        CTempIndex index(cn);
        auto failure = FailureOf([&] {
            index.Connect(path, adUseServer, adLockReadOnly);
            EXPECT_EQ(index.RecordCount(), 0);
        });
        if (*damage.Found == '\0') {
            EXPECT_FALSE(failure) << failure->Description;
        } else {
            ASSERT_TRUE(failure);
            EXPECT_EQ(failure->Description,
                      "The library \"" + path + "\" cannot be read: " + damage.Found +
                          ". It was left as it is; restore it from a copy, or move it away to "
                          "start with an empty library.");
            EXPECT_FALSE(cn.blnConnected());
        }
        EXPECT_EQ(ReadFile(path), bytes);
        EXPECT_EQ(std::filesystem::last_write_time(platform::FsPath(path)), longAgo);
        EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"Wardstone.dat"});
    }
}

} // namespace
} // namespace mw
