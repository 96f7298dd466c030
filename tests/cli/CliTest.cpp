#include "ArtFilesBuilder.h"
#include "MultiFilesBuilder.h"
#include "cli/CliFixture.h"
#include "common/Files.h"
#include "formats/SamplePackage.h"
#include "patcher/MultiBytes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace mw::test {
namespace {

// Paths are taken byte for byte, not as UTF-8.
TEST_F(CliTest, ImportListShowExportAndDelete) {
    CliRun imported = ImportTxt(DataFile("extract-lf.txt"), "Cottage");
    ASSERT_EQ(imported.Status, 0) << imported.Err;
    EXPECT_EQ(imported.Out, "1\n");
    ASSERT_EQ(ImportTxt("-", "From stdin", ReadFile(DataFile("extract-crlf.txt"))).Status, 0);

    CliRun listed = Cli({"list"});
    EXPECT_EQ(listed.Out, "Houses\tSmall\t1\tCottage\t3\nHouses\tSmall\t2\tFrom stdin\t3\n");
    QJsonArray rows =
        QJsonDocument::fromJson(QByteArray::fromStdString(Cli({"list", "--json"}).Out)).array();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].toObject()["description"].toString(), "From stdin");
    EXPECT_EQ(rows[0].toObject()["blocks"].toInt(), 3);

    const std::string text = TemplateFile({"1187 0 0 0 1", "41644 -1 2 5 1", "1189 4 -3 0 1"});
    EXPECT_EQ(Cli({"show", "1"}).Out, text);
    EXPECT_EQ(Cli({"export", "1", "-"}).Out, text);
    std::string latin = library.Folder.File("t\xFF.KivT"); // not UTF-8
    EXPECT_EQ(Cli({"export", "1", latin}).Status, 0);
    EXPECT_EQ(ReadFile(latin), text);
    EXPECT_EQ(Import({"kivt", latin}, "Back").Out, "3\n");
    EXPECT_EQ(Cli({"delete", "1", "--yes"}).Status, 0);
    EXPECT_EQ(Cli({"list"}).Out, "Houses\tSmall\t2\tFrom stdin\t3\nHouses\tSmall\t3\tBack\t3\n");
}

// The library's tree and a template's components changed from the command line, each command
// saying what it changed; a category that holds templates goes only with --yes.
TEST_F(CliTest, RenameMoveCopyTransformAndDeleteACategory) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Cottage").Status, 0);
    EXPECT_EQ(Cli({"rename", "1", " Big Cottage "}).Out,
              "template 1: \"Cottage\" -> \"Big Cottage\"\n");
    EXPECT_EQ(Cli({"move", "1", "--category", "towers", "--subsection", "Stone", "--create"}).Out,
              "template 1 \"Big Cottage\": Houses / Small -> towers / Stone\n");
    EXPECT_EQ(Cli({"copy", "1"}).Out, "2\n");
    EXPECT_EQ(Cli({"rename", "--category", "TOWERS", "--subsection", "stone", "Brick"}).Out,
              "subsection \"towers / Stone\" -> \"Brick\"\n");
    EXPECT_EQ(Cli({"list"}).Out,
              "towers\tBrick\t1\tBig Cottage\t3\ntowers\tBrick\t2\tCopy of Big Cottage\t3\n");

    // Worked by hand: 41644 goes, 1187 becomes 1188, the turn is about (2, -2), then the shift.
    CliRun turned = Cli({"transform", "1", "--shift", "1", "-2", "0", "--rotate", "90",
                         "--replace-id", "0x4A3", "1188", "--delete-id", "41644"});
    EXPECT_EQ(turned.Out, "deleted 1 component of item id 41644\n"
                          "replaced item id 0x4A3 by 1188 in 1 component\n"
                          "rotated 2 components by 90 degrees\n"
                          "shifted 2 components by 1, -2, 0\n"
                          "saved template 1: 2 components\n")
        << turned.Err;
    EXPECT_EQ(Cli({"show", "1"}).Out, TemplateFile({"1188 1 -6 0 1", "1189 4 -2 0 1"}));
    CliRun copied = Cli({"transform", "1", "--mirror", "x", "--recentre", "--as-new", "Mirror"});
    EXPECT_EQ(copied.Out, "mirrored 2 components along x\nre-centred 2 components by -2, 4\n3\n");
    EXPECT_EQ(Cli({"show", "3"}).Out, TemplateFile({"1188 2 -2 0 1", "1189 -1 2 0 1"}));
    for (const auto& usage :
         std::vector<std::vector<std::string>>{{"transform", "1"},
                                               {"transform", "1", "--shift", "1", "2"},
                                               {"transform", "1", "--mirror", "z"},
                                               {"rename", "--subsection", "Brick", "Tile"},
                                               {"move", "1", "--category", "towers"}})
        EXPECT_EQ(Cli(usage).Status, 2) << usage[1];
    EXPECT_EQ(Cli({"transform", "1", "--rotate", "45"}).Status, 1);
    EXPECT_EQ(Cli({"move", "1", "--category", "Ships", "--subsection", "Galleys"}).Status, 1);

    CliRun held = Cli({"delete", "--category", "Towers"});
    EXPECT_EQ(held.Status, 1);
    EXPECT_NE(held.Err.find("holds 3 templates"), std::string::npos) << held.Err;
    EXPECT_EQ(Cli({"delete", "--category", "Towers", "--yes"}).Out,
              "deleted category \"towers\" and 3 templates\n");
    EXPECT_EQ(Cli({"delete", "--category", "Houses", "--subsection", "Small"}).Out,
              "deleted subsection \"Houses / Small\" and 0 templates\n");
    EXPECT_EQ(Cli({"list"}).Out, "");
}

TEST_F(CliTest, FailuresAndUsageErrorsHaveTheirExitStatusAndChangeNothing) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Cottage").Status, 0);
    const std::string before = Cli({"list"}).Out;
    CliRun bad = ImportTxt(library.Folder.Write("bad.txt", "not a template\n"), "Bad");
    EXPECT_EQ(bad.Status, 1);
    EXPECT_NE(bad.Err.find("This file is not a valid multi template file"), std::string::npos);
    CliRun missing = Cli({"import", "--from", "txt", DataFile("extract-lf.txt"), "--category",
                          "Ships", "--subsection", "Galleys", "--description", "Galley"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("--create"), std::string::npos);
    CliRun noLibrary = RunCli({"list", "--db", library.Folder.File("none.dat")});
    EXPECT_EQ(noLibrary.Status, 1);
    EXPECT_NE(noLibrary.Err.find("-2147467259"), std::string::npos);

    EXPECT_EQ(Cli({"show", "99"}).Status, 1);
    EXPECT_EQ(Cli({"delete", "1"}).Status, 2); // no --yes
    EXPECT_EQ(Cli({"import", "--from", "jpeg", "x"}).Status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).Status, 2);
    CliRun help = RunCli({"list", "--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("Usage: multiwardstone-cli list [options]", 0), 0u);
    EXPECT_EQ(Cli({"list"}).Out, before);
}

// An empty file is a damaged library, not a missing one: every subcommand that uses the library
// refuses it with the same message and none makes tables in it.
TEST_F(CliTest, ADamagedLibraryIsRefusedByEverySubcommandAndLeftEmpty) {
    library.Folder.Write("Wardstone.dat", "");
    const std::string refused = "multiwardstone-cli: -2147467259 The library \"" + library.Path +
                                "\" cannot be read: the file is empty (0 bytes), not a "
                                "MultiWardstone library. It was left as it is; restore it from a "
                                "copy, or move it away to start with an empty library.\n";
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"list"},
                                                      {"show", "1"},
                                                      {"rename", "1", "Hut"},
                                                      {"copy", "1"},
                                                      {"delete", "1", "--yes"},
                                                      {"export", "--all", "-"}}) {
        CliRun run = Cli(arguments);
        EXPECT_EQ(run.Status, 1) << arguments[0];
        EXPECT_EQ(run.Err, refused) << arguments[0];
    }
    EXPECT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Cottage").Err, refused);
    EXPECT_EQ(ReadFile(library.Path), "");
    EXPECT_EQ(FileNames(library.Folder.Path()), std::vector<std::string>{"Wardstone.dat"});
}

TEST_F(CliTest, ImportsEverySourceKind) {
    SampleMultiFiles game(library.Folder);
    std::string uop = library.Folder.Write("m.uop", PackageBytes(SampleMultis({0, 1, 3})));
    const std::vector<std::vector<std::string>> sources = {
        {"wsc", DataFile("sphere-export.wsc")},
        {"uox3", DataFile("uox3-items.wsc")},
        {"muls", "3", "--idx", game.Paths.MultiIdxPath, "--mul", game.Paths.MultiMulPath},
        {"uop", "1", "--uop", uop},
    };
    for (const auto& source : sources) {
        CliRun run = Import(source, source[0]);
        EXPECT_EQ(run.Status, 0) << source[0] << ": " << run.Err;
    }
    std::string listed = Cli({"list"}).Out;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 4);
}

// Usage errors and an unknown template are refused before anything is patched; the patch prints
// where the multi went, and the scripts when asked, whichever files it names, and extract reads
// the multi back from either. A package beside multi.idx that is not named is told.
TEST_F(CliTest, PatchChecksUsageFirstThenPrintsTheEntryAndTheScripts) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Small Tower").Status, 0);
    const std::string text = Cli({"show", "1"}).Out;
    const std::string entries =
        Entry(0, 24) + Entry(24, 12) + Entry(36, 12) + Entry(-1, -1) + Entry(-1, -1);
    std::string idx = library.Folder.Write("multi.idx", entries);
    std::string mul = library.Folder.Write("multi.mul", OldRecords(4));
    auto patch = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "patch");
        arguments.insert(arguments.end(), {"--idx", idx, "--mul", mul});
        return Cli(arguments);
    };
    EXPECT_EQ(patch({"1", "--name", "Tower"}).Status, 2);   // no --scripts
    EXPECT_EQ(Cli({"patch", "1", "--idx", idx}).Status, 2); // half a pair
    CliRun sell = patch({"1", "--scripts", "sourcex", "--name", "T", "--buy", "1", "--sell", "1"});
    EXPECT_EQ(sell.Status, 2); // Source-X has no sell value
    CliRun unknown = patch({"99"});
    EXPECT_EQ(unknown.Status, 1);
    EXPECT_NE(unknown.Err.find("No template has the id 99"), std::string::npos) << unknown.Err;
    EXPECT_EQ(ReadFile(idx), entries);

    // What a patch killed during its backup left there is removed by the next one, which says so.
    const std::string leftover = library.Folder.Write("multi.mul.multiwardstone-Ab12Cd", "half");
    CliRun patched =
        patch({"1", "--scripts", "55", "--name", "Small Tower", "--buy", "500", "--sell", "250"});
    ASSERT_EQ(patched.Status, 0) << patched.Err;
    EXPECT_NE(patched.Err.find("Removed 1 temporary file left by an interrupted patch: \"" +
                               leftover + "\""),
              std::string::npos)
        << patched.Err;
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_EQ(patched.Out.rfind("entry 4, multi 0x3, item 0x4003\n", 0), 0u);
    EXPECT_NE(patched.Out.find("[ITEMDEF 04003]\r\nDEFNAME=i_Small_Tower\r\n"), std::string::npos);
    EXPECT_EQ(Cli({"extract", "--idx", idx, "--mul", mul, "3", "-"}).Out, text);

    EXPECT_EQ(patched.Err.find("was not patched"), std::string::npos);
    std::string uop =
        library.Folder.Write("MultiCollection.uop", PackageBytes(SampleMultis({0, 1, 3})));
    patched = Cli({"patch", "1", "--uop", uop, "--no-backup", "--scripts", "sourcex", "--name",
                   "Small Tower", "--buy", "500"});
    ASSERT_EQ(patched.Status, 0) << patched.Err;
    EXPECT_EQ(patched.Out.rfind("entry 3, multi 0x2, item 0x4002\n// Multi Small Tower", 0), 0u);
    EXPECT_NE(patched.Out.find("\r\n[MULTIDEF 02]\r\nDEFNAME=m_Small_Tower\r\n"),
              std::string::npos);
    EXPECT_EQ(Cli({"extract", "--uop", uop, "2", "-"}).Out, text);

    // Replacing multi 1 (a marker alone in multi.mul, which extraction refuses as damaged; three
    // tiles in the package) in both.
    patched = Cli({"patch", "1", "--replace", "1", "--idx", idx, "--mul", mul, "--uop", uop});
    ASSERT_EQ(patched.Status, 0) << patched.Err;
    EXPECT_EQ(patched.Out, "entry 2, multi 0x1, item 0x4001, replaced a damaged entry (mul), 3 "
                           "(package)\n");
    EXPECT_EQ(patched.Err.find("was not patched"), std::string::npos);
    EXPECT_EQ(Cli({"extract", "--uop", uop, "1", "-"}).Out, text);
    EXPECT_EQ(patch({"1", "--replace", "0x10"}).Status, 1); // beyond the end of multi.idx
    patched = patch({"1"});
    ASSERT_EQ(patched.Status, 0) << patched.Err;
    EXPECT_NE(patched.Err.find("\"" + uop + "\" was not patched"), std::string::npos);
    EXPECT_NE(patched.Err.find("--uop"), std::string::npos);
    EXPECT_NE(patch({"1"}).Err.find("multi.idx has no free entry"), std::string::npos);
}

// An output never replaces a read-only file (root included), the library or a game file.
TEST_F(CliTest, OutputsNeverReplaceReadOnlyFilesTheLibraryOrGameFiles) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Cottage").Status, 0);
    const TempFolder& folder = library.Folder;
    auto exportTo = [&](const std::string& path) { return Cli({"export", "1", path}).Status; };

    std::string readOnly = folder.Write("read-only.KivT", "keep");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(exportTo(readOnly), 1);
    EXPECT_EQ(ReadFile(readOnly), "keep");

    // A game file's name is never an output's, whatever the settings name.
    for (const char* name : {"multi.mul", "ArtIdx.MUL"}) {
        std::string game = folder.Write(name, "game");
        EXPECT_EQ(exportTo(game), 1);
        EXPECT_EQ(ReadFile(game), "game");
    }

    std::string before = ReadFile(library.Path);
    EXPECT_EQ(exportTo(library.Path), 1);
    EXPECT_EQ(ReadFile(library.Path), before);
    SampleMultiFiles game(folder);
    std::string mul = ReadFile(game.Paths.MultiMulPath);
    CliRun overGame = Cli({"extract", "--idx", game.Paths.MultiIdxPath, "--mul",
                           game.Paths.MultiMulPath, "3", game.Paths.MultiMulPath});
    EXPECT_EQ(overGame.Status, 1);
    EXPECT_EQ(ReadFile(game.Paths.MultiMulPath), mul);
}

// render draws with the art of the folder it is given; standard output and a file get the same
// picture, and a refusal writes nothing.
TEST_F(CliTest, RenderWritesThePictureAndCountsTheComponentsWithoutArt) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Cottage").Status, 0);
    TempFolder art;
    WriteMulArt(art.Path(), {{1187, EncodeStaticArt(SolidImage(20, 30, 0xFFFF0000))}});
    std::string png = library.Folder.File("cottage.png");
    CliRun drawn = Cli({"render", "1", png, "--art-folder", art.Path()});
    ASSERT_EQ(drawn.Status, 0) << drawn.Err;
    EXPECT_NE(drawn.Err.find("2 components without art\n"), std::string::npos) << drawn.Err;
    EXPECT_EQ(ReadFile(png).substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    EXPECT_EQ(Cli({"render", "1", "-", "--art-folder", art.Path()}).Out, ReadFile(png));
    CliRun boxes = Cli({"render", "1", "-"});
    EXPECT_NE(boxes.Err.find("3 components without art"), std::string::npos);
    EXPECT_NE(Cli({"render", "1", "-", "--max-z", "4"}).Out, boxes.Out);
    // Usable art beside a tiledata.mul of no known size: the picture, and the reason it has no
    // heights. One component without art is one.
    art.Write("tiledata.mul", std::string(1000, '\0'));
    ASSERT_EQ(
        ImportTxt(library.Folder.Write("pair.txt", TemplateFile({"1187 0 0 0 1", "2 1 0 0 1"})),
                  "Pair")
            .Status,
        0);
    CliRun heightless = Cli({"render", "2", "-", "--art-folder", art.Path()});
    ASSERT_EQ(heightless.Status, 0) << heightless.Err;
    EXPECT_NE(heightless.Err.find("is not a tiledata.mul of a known layout"), std::string::npos)
        << heightless.Err;
    EXPECT_NE(heightless.Err.find("\n1 component without art\n"), std::string::npos)
        << heightless.Err;

    std::string none = library.Folder.File("none.png");
    EXPECT_EQ(Cli({"render", "99", none}).Status, 1);
    EXPECT_EQ(Cli({"render", "1", none, "--max-z", "high"}).Status, 2);
    ASSERT_EQ(ImportTxt(library.Folder.Write("wide.txt",
                                             TemplateFile({"1187 -300 0 0 1", "1187 300 0 0 1"})),
                        "Wide")
                  .Status,
              0);
    CliRun wide = Cli({"render", "3", none});
    EXPECT_EQ(wide.Status, 1);
    EXPECT_NE(wide.Err.find("7210"), std::string::npos) << wide.Err;
    EXPECT_FALSE(FileExists(none));
}

// A batch files each design under its own names and takes none from the command line; a single
// design takes those given and its own for the rest; a damaged file stores nothing.
TEST_F(CliTest, DesignFilesImportAsBatchesOrSingleDesigns) {
    CliRun batch = Cli({"import", "--from", "uoa", DataFile("designs-batch.uoa")});
    ASSERT_EQ(batch.Status, 0) << batch.Err;
    EXPECT_EQ(batch.Out, "1\n2\n3\n4\n5\n");
    const std::string listed = Cli({"list"}).Out;
    EXPECT_NE(listed.find("Unsorted\tUnsorted\t4\tLoose Wall\t1\n"), std::string::npos);
    EXPECT_EQ(Cli({"import", "--from", "uoa", DataFile("designs-batch.uoa"), "--description", "X"})
                  .Status,
              2);
    CliRun refused = Cli({"import", "--from", "uoa", DataFile("designs-count-too-large.uoa")});
    EXPECT_EQ(refused.Status, 1);
    EXPECT_NE(refused.Err.find("Invalid UO Architect Design File: "), std::string::npos);
    EXPECT_EQ(Cli({"import", "--from", "uoa", library.Folder.File("none.uoa")}).Status, 1);
    EXPECT_EQ(Cli({"list"}).Out, listed);

    const std::string tower = ReadFile(DataFile("design-tower.uoa"));
    EXPECT_EQ(Cli({"import", "--from", "uoa", "-"}, tower).Out, "6\n");
    EXPECT_EQ(Import({"uoa", DataFile("design-tower.uoa")}, "Keep").Out, "7\n");
    EXPECT_EQ(Import({"csv", DataFile("tiles.csv")}, "Csv").Out, "8\n");
    EXPECT_EQ(Import({"list", DataFile("tiles.txt")}, "List").Out, "9\n");
    const std::string now = Cli({"list"}).Out;
    for (const char* line : {"Towers\tStone\t6\tSmall Tower\t4\n", "Houses\tSmall\t7\tKeep\t4\n",
                             "Houses\tSmall\t8\tCsv\t4\n", "Houses\tSmall\t9\tList\t4\n"})
        EXPECT_NE(now.find(line), std::string::npos) << line;
    EXPECT_EQ(Cli({"show", "6"}).Out, Cli({"show", "8"}).Out);
}

TEST_F(CliTest, ExportWritesEachFormatAndWholeCategories) {
    ASSERT_EQ(Cli({"import", "--from", "uoa", DataFile("designs-batch.uoa")}).Status, 0);
    const std::string shown = Cli({"show", "2"}).Out;
    const std::vector<std::vector<std::string>> ways = {
        {"t.uoa", "uoa"}, {"t.CSV", "csv"}, {"t.lst", "list", "--format", "list"}};
    for (const auto& way : ways) {
        std::vector<std::string> arguments = {"export", "2", library.Folder.File(way[0])};
        arguments.insert(arguments.end(), way.begin() + 2, way.end());
        ASSERT_EQ(Cli(arguments).Status, 0) << way[0];
        CliRun back = Import({way[1], library.Folder.File(way[0])}, way[0]);
        ASSERT_EQ(back.Status, 0) << back.Err;
        EXPECT_EQ(Cli({"show", back.Out.substr(0, back.Out.size() - 1)}).Out, shown) << way[0];
    }
    EXPECT_EQ(Cli({"export", "2", "-", "--format", "list"}).Out.substr(0, 12), "0x464 0 0 0 ");

    EXPECT_EQ(
        Cli({"export", "--category", "Houses", "--subsection", "Large", "-"}).Out.substr(0, 4),
        std::string("\x02\x00\x01\x00", 4));
    // The whole library back into an empty one: the workflow's tests compare the trees.
    std::string all = library.Folder.File("all.uoa");
    ASSERT_EQ(Cli({"export", "--all", all}).Status, 0);
    TestLibrary fresh;
    EXPECT_EQ(RunCli({"import", "--db", fresh.Path, "--from", "uoa", all}).Out,
              "1\n2\n3\n4\n5\n6\n7\n8\n");
    EXPECT_EQ(Cli({"export", "--category", "Ships", all}).Status, 1);
    for (std::vector<std::string> usage : {std::vector<std::string>{"export", "--all", "2", all},
                                           {"export", "--subsection", "Small", all},
                                           {"export", "--all", all, "--format", "csv"},
                                           {"export", "2", all, "--format", "jpeg"},
                                           {"export", "--all", "--category", "Houses", all}})
        EXPECT_EQ(Cli(usage).Status, 2) << usage[1];
}

} // namespace
} // namespace mw::test
