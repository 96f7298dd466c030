// The command line with the window's settings file, and as an installed copy: where its library
// lives and which values it takes from where.
#include "ArtFilesBuilder.h"
#include "TestLibrary.h"
#include "cli/CliRun.h"
#include "common/Files.h"
#include "formats/SamplePackage.h"
#include "patcher/MultiBytes.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace mw::test {
namespace {

bool Has(const std::string& text, const std::string& wanted) {
    return text.find(wanted) != std::string::npos;
}

// A library with one template, game files of 12-byte records with a free entry 4, and the
// window's settings file in a folder of the test's own.
class CliSettingsTest : public ::testing::Test {
protected:
    CliSettingsTest() {
        EXPECT_EQ(Cli({"import", "--from", "txt", DataFile("extract-lf.txt"), "--category", "H",
                       "--subsection", "S", "--description", "Tower", "--create"})
                      .Status,
                  0);
        std::filesystem::create_directories(config.File("MultiWardstone"));
    }
    CliRun Cli(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin() + 1, {"--db", library.Path});
        return RunCli(arguments, {}, {{}, {"XDG_CONFIG_HOME=" + config.Path()}});
    }
    void Settings(const std::string& lines) {
        config.Write("MultiWardstone/MultiWardstone.conf", lines);
    }
    std::string FilesSection() const {
        return "[Files]\nMultiIdx=" + idx + "\nMultiMul=" + mul + "\n";
    }
    size_t Backups() const {
        size_t count = 0;
        for (const std::string& name : FileNames(game.Path()))
            count += name.ends_with(".bak");
        return count;
    }

    TestLibrary library;
    TempFolder config, game;
    const std::string entries = Entry(0, 24) + Entry(24, 12) + Entry(36, 12) + Entry(-1, -1);
    std::string idx = game.Write("multi.idx", entries);
    std::string mul = game.Write("multi.mul", OldRecords(4));
    std::string uop = game.Write("m.uop", PackageBytes(SampleMultis({0, 1, 3})));
};

// The settings' set is taken only when no file option is given: an option never gets the rest
// of its set from the settings. A patch names the files it changes before it changes them.
TEST_F(CliSettingsTest, GameFilesComeFromTheSettingsOnlyWithoutFileOptions) {
    CliRun none = Cli({"patch", "1"});
    EXPECT_EQ(none.Status, 2);
    EXPECT_TRUE(Has(none.Err, "the settings name none")) << none.Err;

    Settings(FilesSection() + "[Settings]\nBackUpGameFiles=False\n");
    CliRun patched = Cli({"patch", "1"});
    ASSERT_EQ(patched.Status, 0) << patched.Err;
    EXPECT_EQ(patched.Out, "entry 4, multi 0x3, item 0x4003\n");
    EXPECT_TRUE(Has(patched.Err, "about to change " + idx + "\n")) << patched.Err;
    EXPECT_TRUE(Has(patched.Err, "about to change " + mul + "\n")) << patched.Err;
    EXPECT_EQ(Backups(), 0u);
    EXPECT_EQ(Cli({"extract", "3", "-"}).Out, Cli({"show", "1"}).Out);

    const std::string idxNow = ReadFile(idx), mulNow = ReadFile(mul);
    CliRun package = Cli({"patch", "1", "--uop", uop});
    ASSERT_EQ(package.Status, 0) << package.Err;
    EXPECT_FALSE(Has(package.Err, idx)) << package.Err;
    EXPECT_TRUE(Has(package.Err, "about to change " + uop)) << package.Err;
    EXPECT_EQ(ReadFile(idx), idxNow);
    EXPECT_EQ(ReadFile(mul), mulNow);
    EXPECT_EQ(Cli({"patch", "1", "--idx", idx}).Status, 2); // half a pair stays half
    EXPECT_EQ(Cli({"extract", "3", "-", "--mul", mul}).Status, 2);
    EXPECT_EQ(ReadFile(idx), idxNow);
}

// Record size, backups and the art folder: an option wins, else the settings, else the default;
// `settings` says which.
TEST_F(CliSettingsTest, OptionsWinOverTheSettingsAndSettingsOverTheDefaults) {
    auto rows = [this](std::vector<std::string> options) {
        options.insert(options.begin(), "settings");
        return Cli(options).Out;
    };
    EXPECT_TRUE(Has(rows({}), "record-size\tauto\tdefault\nbackup\ton\tdefault\n"));
    WriteMulArt(game.Path(), {{1187, EncodeStaticArt(SolidImage(20, 30, 0xFFFF0000))}});
    Settings(FilesSection() + "MultiRecordSize=16\n[Settings]\nBackUpGameFiles=False\n");
    const std::string fromSettings = rows({});
    for (const std::string& row : std::vector<std::string>{
             "idx\t" + idx + "\tsettings Files/MultiIdx\n",
             "uop\t(none)\tsettings Files/MultiUop\n",
             "record-size\t16\tsettings Files/MultiRecordSize\n",
             "backup\toff\tsettings Settings/BackUpGameFiles\n",
             "art-folder\t" + game.Path() + "\tsettings: the folder of Files/MultiMul\n"})
        EXPECT_TRUE(Has(fromSettings, row)) << row << fromSettings;
    const std::string fromOptions =
        rows({"--uop", uop, "--record-size", "12", "--backup", "--art-folder", config.Path()});
    for (const std::string& row :
         std::vector<std::string>{"idx\t(none)\t--idx\n", "uop\t" + uop + "\t--uop\n",
                                  "record-size\t12\t--record-size\n", "backup\ton\t--backup\n",
                                  "art-folder\t" + config.Path() + "\t--art-folder\n"})
        EXPECT_TRUE(Has(fromOptions, row)) << row << fromOptions;

    CliRun sixteen = Cli({"patch", "1"}); // the settings' 16 against 12-byte records
    EXPECT_EQ(sixteen.Status, 1);
    EXPECT_EQ(ReadFile(idx), entries);
    ASSERT_EQ(Cli({"patch", "1", "--record-size", "auto", "--backup"}).Status, 0);
    EXPECT_EQ(Backups(), 2u);
    EXPECT_EQ(Cli({"patch", "1", "--backup", "--no-backup"}).Status, 2);

    EXPECT_TRUE(Has(Cli({"render", "1", "-"}).Err, "2 components without art"));
    EXPECT_TRUE(Has(Cli({"render", "1", "-", "--art-folder", config.Path()}).Err,
                    "3 components without art"));
}

// A copy in <prefix>/bin beside <prefix>/share/multiwardstone/schema.sql keeps its library in the
// user's data folder, made with components.txt on first use and opened after; one that --db
// names is never made. The built tool keeps it beside itself and makes nothing.
TEST(CliLocation, AnInstalledCopyKeepsItsLibraryInTheDataFolder) {
    TempFolder prefix, data;
    namespace fs = std::filesystem;
    const std::string tool = prefix.File("bin/multiwardstone-cli");
    fs::create_directories(prefix.File("bin"));
    fs::create_directories(prefix.File("share/multiwardstone"));
    fs::copy_file(CLI_PATH, tool);
    fs::copy_file(SCHEMA_FILE, prefix.File("share/multiwardstone/schema.sql"));
    fs::copy_file(DataFile("components-sample.txt"),
                  prefix.File("share/multiwardstone/components.txt"));
    const CliSetting installed{{}, {"XDG_DATA_HOME=" + data.Path()}};
    const std::string folder = data.File("MultiWardstone");

    CliRun first = RunCliAt(tool, {"list"}, {}, installed);
    ASSERT_EQ(first.Status, 0) << first.Err;
    EXPECT_EQ(first.Err,
              "multiwardstone-cli: made an empty library: " + folder + "/Wardstone.dat\n");
    EXPECT_EQ(ReadFile(folder + "/components.txt"), ReadFile(DataFile("components-sample.txt")));
    ASSERT_EQ(RunCliAt(tool,
                       {"import", "--from", "txt", DataFile("extract-lf.txt"), "--category", "H",
                        "--subsection", "S", "--description", "Kept", "--create"},
                       {}, installed)
                  .Status,
              0);
    CliRun second = RunCliAt(tool, {"list"}, {}, installed);
    EXPECT_EQ(second.Out, "H\tS\t1\tKept\t3\n");
    EXPECT_EQ(second.Err, "");
    EXPECT_EQ(RunCliAt(tool, {"list", "--db", folder + "/named.dat"}, {}, installed).Status, 1);
    EXPECT_FALSE(FileExists(folder + "/named.dat"));
    EXPECT_TRUE(Has(RunCliAt(tool, {"settings"}, {}, installed).Out,
                    "db\t" + folder + "/Wardstone.dat\tthe user's data folder"));

    CliRun built = RunCli({"settings"}, {}, {{}, {"XDG_DATA_HOME=" + data.File("built")}});
    const std::string beside = fs::path(CLI_PATH).parent_path().string() + "/Wardstone.dat";
    EXPECT_TRUE(Has(built.Out, "db\t" + beside + "\tbeside the program\n")) << built.Out;
    EXPECT_FALSE(FileExists(data.File("built")));
    EXPECT_EQ(RunCli({"--version"}).Out, "multiwardstone-cli " WARDSTONE_VERSION "\n");
}

} // namespace
} // namespace mw::test
