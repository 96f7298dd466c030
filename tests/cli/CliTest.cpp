#include "MultiFilesBuilder.h"
#include "TestLibrary.h"
#include "cli/CliRun.h"
#include "common/TextFile.h"
#include "formats/SamplePackage.h"
#include "patcher/MultiBytes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <gtest/gtest.h>

namespace mw::test {
namespace {

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

TEST_F(CliTest, ImportThenListShowAndExportGiveTheFileBack) {
    CliRun imported = ImportTxt(DataFile("extract-lf.txt"), "Cottage");
    ASSERT_EQ(imported.Status, 0) << imported.Err;
    EXPECT_EQ(imported.Out, "1\n");
    ASSERT_EQ(ImportTxt("-", "From stdin", ReadFile(DataFile("extract-crlf.txt"))).Status, 0);

    CliRun listed = Cli({"list"});
    EXPECT_EQ(listed.Out, "Houses\tSmall\t1\tCottage\t3\nHouses\tSmall\t2\tFrom stdin\t3\n");
    CliRun json = Cli({"list", "--json"});
    QJsonArray rows = QJsonDocument::fromJson(QByteArray::fromStdString(json.Out)).array();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].toObject()["description"].toString(), "From stdin");
    EXPECT_EQ(rows[0].toObject()["blocks"].toInt(), 3);

    const std::string text = TemplateFile({"1187 0 0 0 1", "41644 -1 2 5 1", "1189 4 -3 0 1"});
    EXPECT_EQ(Cli({"show", "1"}).Out, text);
    std::string exported = library.Folder.File("out.KivT");
    EXPECT_EQ(Cli({"export", "1", exported}).Status, 0);
    EXPECT_EQ(ReadFile(exported), text);
    EXPECT_EQ(Cli({"export", "1", "-"}).Out, text);
}

TEST_F(CliTest, FailuresAndUsageErrorsHaveTheirExitStatusAndChangeNothing) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Cottage").Status, 0);
    std::string before = Cli({"list"}).Out;

    CliRun bad = ImportTxt(library.Folder.Write("bad.txt", "not a template\n"), "Bad");
    EXPECT_EQ(bad.Status, 1);
    EXPECT_NE(bad.Err.find("This file is not a valid multi template file"), std::string::npos);
    CliRun missing = Cli({"import", "--from", "txt", DataFile("extract-lf.txt"), "--category",
                          "Ships", "--subsection", "Galleys", "--description", "Galley"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("--create"), std::string::npos);
    EXPECT_EQ(Cli({"list"}).Out, before);

    EXPECT_EQ(Cli({"show", "99"}).Status, 1);
    EXPECT_EQ(Cli({"delete", "1"}).Status, 2); // no --yes
    EXPECT_EQ(Cli({"show"}).Status, 2);
    EXPECT_EQ(Cli({"import", "--from", "jpeg", "x"}).Status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).Status, 2);
    EXPECT_EQ(RunCli({}).Status, 2);
    EXPECT_EQ(RunCli({"list", "--help"}).Status, 0);
    EXPECT_EQ(Cli({"list"}).Out, before);

    CliRun noLibrary = RunCli({"list", "--db", library.Folder.File("none.dat")});
    EXPECT_EQ(noLibrary.Status, 1);
    EXPECT_NE(noLibrary.Err.find("-2147467259"), std::string::npos);
    EXPECT_FALSE(FileExists(library.Folder.File("none.dat")));

    EXPECT_EQ(Cli({"delete", "1", "--yes"}).Status, 0);
    EXPECT_EQ(Cli({"list"}).Out, "");
}

TEST_F(CliTest, ImportsEverySourceKind) {
    SampleMultiFiles game(library.Folder);
    const std::vector<std::vector<std::string>> sources = {
        {"wsc", DataFile("sphere-export.wsc")},
        {"uox3", DataFile("uox3-items.wsc")},
        {"kivt", DataFile("wall.KivT")},
        {"muls", "3", "--idx", game.Paths.MultiIdxPath, "--mul", game.Paths.MultiMulPath},
    };
    for (const auto& source : sources) {
        CliRun run = Import(source, source[0]);
        EXPECT_EQ(run.Status, 0) << source[0] << ": " << run.Err;
    }
    std::string listed = Cli({"list"}).Out;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 4);
    auto freeEntry = sources[3];
    freeEntry[1] = "1";
    EXPECT_EQ(Import(freeEntry, "free entry").Status, 1);
}

TEST_F(CliTest, PackagePatchExtractAndImportAgree) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Tower").Status, 0);
    std::string uop =
        library.Folder.Write("MultiCollection.uop", PackageBytes(SampleMultis({0, 1, 3})));
    CliRun patched = Cli({"patch", "1", "--uop", uop, "--no-backup"});
    ASSERT_EQ(patched.Status, 0) << patched.Err;
    EXPECT_EQ(patched.Out, "entry 3, multi 0x2, item 0x4002\n");
    EXPECT_EQ(Cli({"extract", "--uop", uop, "2", "-"}).Out, Cli({"show", "1"}).Out);
    CliRun imported = Cli({"import", "--from", "uop", "2", "--uop", uop, "--category", "Houses",
                           "--subsection", "Small", "--description", "Back", "--create"});
    EXPECT_EQ(imported.Status, 0) << imported.Err;
    EXPECT_EQ(Cli({"show", "2"}).Out, Cli({"show", "1"}).Out);
    EXPECT_EQ(Cli({"extract", "--uop", uop, "--idx", uop, "2", "-"}).Status, 2); // which one?
    EXPECT_EQ(Cli({"patch", "1", "--idx", uop}).Status, 2);                      // half a pair
}

TEST_F(CliTest, PatchPrintsTheEntryAndTheScripts) {
    ASSERT_EQ(ImportTxt(DataFile("extract-lf.txt"), "Small Tower").Status, 0);
    std::string idx = library.Folder.Write("multi.idx", Entry(0, 24) + Entry(24, 12) +
                                                            Entry(36, 12) + Entry(-1, -1));
    std::string mul = library.Folder.Write("multi.mul", OldRecords(4));
    CliRun patched = Cli({"patch", "1", "--idx", idx, "--mul", mul, "--scripts", "55", "--name",
                          "Small Tower", "--buy", "500", "--sell", "250"});
    ASSERT_EQ(patched.Status, 0) << patched.Err;
    EXPECT_EQ(patched.Out.rfind("entry 4, multi 0x3, item 0x4003\n", 0), 0u);
    EXPECT_NE(patched.Out.find("[ITEMDEF 04003]\r\nDEFNAME=i_Small_Tower\r\n"), std::string::npos);
    EXPECT_EQ(ReadFile(mul).size(), 48u + 4 * 12);

    CliRun extracted = Cli({"extract", "--idx", idx, "--mul", mul, "3", "-"});
    ASSERT_EQ(extracted.Status, 0) << extracted.Err;
    EXPECT_EQ(extracted.Out, Cli({"show", "1"}).Out); // the patched multi gives the template back

    CliRun full = Cli({"patch", "1", "--idx", idx, "--mul", mul, "--record-size", "12"});
    EXPECT_EQ(full.Status, 1);
    EXPECT_NE(full.Err.find("File Not Found"), std::string::npos) << full.Err;
    EXPECT_EQ(ReadFile(mul).size(), 48u + 4 * 12);
}

} // namespace
} // namespace mw::test
