#include "library/WindowFixture.h"

#include "common/Files.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace mw::test {

class MainWindowTest : public QObject {
    Q_OBJECT

    // Three categories: Houses with two subsections whose templates interleave, an empty Ships,
    // and a second category also called Houses.
    static constexpr const char* Library = R"(
        insert into Category(Name) values ('Houses'), ('Ships'), ('Houses');
        insert into SubSection(CategoryID, Name) values (1, 'Small'), (1, 'Large'), (2, 'Unused'), (3, 'Keeps');
        insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) values
            (2, 1, 1, 'Cottage'), (1, 1, 2, 'Villa'), (0, 1, 1, 'Hut'), (1, 3, 4, 'Keep');
        insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values
            (1, 0, 0, 0, 1, 1), (2, 0, 0, 0, 1, 1), (3, 0, 0, 0, 1, 2), (4, 0, 0, 0, 1, 4))";

    static QString Enabled(frmWardstone& w) {
        QString states;
        for (QPushButton* b : {w.cmdDeleteTemplate, w.cmdExportTemplate, w.cmdPatchMulFiles,
                               w.cmdBuildTemplate, w.cmdExtractFromSphere, w.cmdNuke})
            states += b->isEnabled() ? '1' : '0';
        return states;
    }

private slots:
    void missingLibraryIsReportedAndTheWindowNeverOpens() {
        WindowFixture f;
        RemoveFile(f.library.Path);
        f.Open();
        QVERIFY(!f.initialized);
        QCOMPARE(f.prompts.Messages.size(), size_t(1));
        QCOMPARE(f.prompts.Messages[0].Text, QString("Wardstone.dat file is missing"));
        QCOMPARE(f.prompts.Messages[0].Title, QString("Wardstone Data file not found"));
        QVERIFY(f.prompts.Messages[0].Icon == MessageIcon::Exclamation);
        QVERIFY(!f.window->isVisible());
        QVERIFY(!FileExists(f.library.Path));
    }

    // Without components.txt the program says so in the status line, not in a message box.
    void treeShowsOnlyFiledTemplatesInRowOrderWithOrWithoutComponentsTxt() {
        WindowFixture f;
        f.Sql(Library);
        f.Open();
        QVERIFY(f.initialized);
        QCOMPARE(f.Tree(), QStringList({"Houses", "  Small", "    Cottage", "    Hut", "  Large",
                                        "    Villa", "  Keeps", "    Keep"}));
        QCOMPARE(f.window->windowTitle(), QString("Kiv Multi Wardstone 1.1"));
        QVERIFY(!f.window->trvTemplates->topLevelItem(0)->isExpanded());
        QVERIFY(f.prompts.Messages.empty());
        QVERIFY(f.window->lblStatus->text().contains("components.txt"));
        QVERIFY(f.session.Components.Empty());
        f.window->Timer_Timer();
        QVERIFY(f.window->lblStatus->text().isEmpty());

        WindowFixture g;
        g.library.Folder.Write("components.txt", "heading\r\n0675 door\r\n");
        g.Open();
        QCOMPARE(g.session.Components.Count(), size_t(1));
        QVERIFY(g.window->lblStatus->text().isEmpty());
    }

    void subsectionNamesThatLookAlikeWithTheirCategoryIdStayApart() {
        WindowFixture f;
        std::string categories;
        for (int i = 1; i <= 11; ++i)
            categories += "insert into Category(Name) values ('C" + std::to_string(i) + "');";
        f.Sql(categories + R"(
            insert into SubSection(CategoryID, Name) values (1, 'A1'), (11, 'A');
            insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) values
                (0, 1, 1, 'In A1'), (0, 11, 2, 'In A'))");
        f.Open();
        QCOMPARE(f.Tree(), QStringList({"C1", "  A1", "    In A1", "C11", "  A", "    In A"}));
    }

    void clicksShowTheTemplateAndSetTheButtons() {
        WindowFixture f;
        f.Sql(Library);
        frmWardstone& w = f.Open();
        QCOMPARE(Enabled(w), QString("000011")); // whatever the settings
        f.Select("Cottage");
        QCOMPARE(w.lblSelectedTemplate->text(), QString("Cottage"));
        QCOMPARE(w.lblItemCount->text(), QString("2"));
        QCOMPARE(Enabled(w), QString("110001"));
        QCOMPARE(*w.SelectedTemplateId(), 1);

        f.session.MultiIdxPath = "/x/multi.idx";
        f.session.SphereFolderPath = "/srv/sphere/";
        f.Select("Hut");
        QCOMPARE(w.lblItemCount->text(), QString("0"));
        QCOMPARE(Enabled(w), QString("110111")); // Patch Muls needs both paths
        f.session.MultiMulPath = "/x/multi.mul"; // as the settings dialog sets it
        emit w.trvTemplates->itemClicked(w.trvTemplates->currentItem(), 0); // Hut again
        QCOMPARE(Enabled(w), QString("111111"));
        f.Select("Villa");
        QCOMPARE(Enabled(w), QString("111111"));

        f.Select("Large");
        QVERIFY(w.lblSelectedTemplate->text().isEmpty());
        QVERIFY(w.lblItemCount->text().isEmpty());
        QCOMPARE(Enabled(w), QString("000011"));

        f.Select("Keep");
        w.FillTemplatesList();
        QVERIFY(!w.SelectedTemplateId());
        QCOMPARE(Enabled(w), QString("000011")); // nothing selected: nothing to act on
        QCOMPARE(w.lblSelectedTemplate->text(), QString("Keep"));
    }

    void deletionAsksFirstAndRemovesBlocksAndIndexRowTogether() {
        WindowFixture f;
        f.Sql(Library);
        frmWardstone& w = f.Open();
        f.Select("Villa");
        f.prompts.Answer({"No"});
        w.cmdDeleteTemplate_Click();
        QCOMPARE(f.prompts.Questions.back().Text,
                 QString("Are you sure you want to delete the Villa?"));
        QCOMPARE(f.prompts.Questions.back().Title, QString("Confirm Deletion"));
        QCOMPARE(f.Tree().size(), 8);

        f.prompts.Answer({"Yes"});
        w.cmdDeleteTemplate_Click();
        QCOMPARE(f.Tree(), QStringList({"Houses", "  Small", "    Cottage", "    Hut", "  Keeps",
                                        "    Keep"}));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(StoredBlocks(f.session.cnTemplates, 2).empty());
        QVERIFY(f.prompts.Messages.empty());

        w.cmdDeleteTemplate_Click(); // nothing selected after the refill: nothing happens
        QVERIFY(f.prompts.AllAnswered());
    }

    void failedDeletionKeepsTheBlocksWithTheirTemplate() {
        WindowFixture f;
        f.Sql(Library);
        f.Sql("create trigger refuse before delete on TemplateIndex begin select raise(abort, "
              "'refused'); end");
        frmWardstone& w = f.Open();
        f.Select("Cottage");
        f.prompts.Answer({"Yes"});
        w.cmdDeleteTemplate_Click();
        QCOMPARE(f.prompts.Messages.size(), size_t(1));
        QVERIFY(f.prompts.Messages[0].Text.contains("refused"));
        QCOMPARE(f.prompts.Messages[0].Title, QString("MultiWardstone"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(f.Tree().size(), 8);
        f.Select("Cottage");
        QCOMPARE(w.lblItemCount->text(), QString("2"));
    }

    void closingSavesTheSettingsAndTheyComeBack() {
        WindowFixture f;
        {
            frmWardstone& w = f.Open();
            QVERIFY(w.optKivT->isChecked());
            QCOMPARE(w.ScriptFormat, std::int16_t(0));
            f.session.MultiIdxPath = "/games/uo/multi.idx";
            f.session.SphereFolderPath = " /srv/sphere ";
            w.optTxt->setChecked(true);
            w.ScriptFormat = 2;
            w.close();
        }
        QSettings stored("MultiWardstone", "MultiWardstone");
        QCOMPARE(stored.value("Settings/OptTxt").toString(), QString("True"));
        QCOMPARE(stored.value("Settings/OptKivT").toString(), QString("False"));
        QCOMPARE(stored.value("Settings/ScriptFormat").toString(), QString("2"));

        f.session.MultiIdxPath.clear();
        f.session.SphereFolderPath.clear();
        frmWardstone& again = f.Open();
        QCOMPARE(QString::fromStdString(f.session.MultiIdxPath), QString("/games/uo/multi.idx"));
        QCOMPARE(QString::fromStdString(f.session.SphereFolderPath), QString(" /srv/sphere "));
        QVERIFY(again.optTxt->isChecked());
        QVERIFY(!again.optKivT->isChecked());
        QCOMPARE(again.ScriptFormat, std::int16_t(2));
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::MainWindowTest)
#include "MainWindowTest.moc"
