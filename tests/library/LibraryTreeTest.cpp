#include "library/WindowFixture.h"

#include <QMenu>
#include <QTreeWidgetItemIterator>

namespace mw::test {

class LibraryTreeTest : public QObject {
    Q_OBJECT

    // Houses / Small with Hut and Cabin, Ships / Galleys with Galley, and the empty Towers.
    struct Fixture : WindowFixture {
        Fixture() {
            AddHousesSmall({"1, 0, 0, 0, 1"});
            Sql("insert into Category(Name) values ('Ships'), ('Towers');"
                "insert into SubSection(CategoryID, Name) values (2, 'Galleys');"
                "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) values"
                " (1, 1, 1, 'Cabin'), (1, 2, 2, 'Galley');"
                "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values"
                " (2, 0, 0, 0, 1, 2), (3, 0, 0, 0, 1, 3);");
            Open();
        }
        void Press(const QString& node, int key) {
            Select(node);
            QTest::keyClick(window->trvTemplates, Qt::Key(key));
        }
        QStringList Shown() const {
            QStringList shown;
            for (QTreeWidgetItemIterator it(window->trvTemplates); *it; ++it)
                if (!(*it)->isHidden()) shown << (*it)->text(0);
            return shown;
        }
    };

private slots:
    // F2 renames what is selected, starting from its name; a category may not take another's
    // name (blanks and case aside), and the tree keeps its place.
    void f2Renames() {
        Fixture f;
        f.prompts.Answer({"Small Hut", "  HOUSES ", "ships", "Stone"});
        f.Press("Hut", Qt::Key_F2);
        QCOMPARE(f.prompts.Offered.value(0), QString("Hut"));
        QCOMPARE(f.window->lblSelectedTemplate->text(), QString("Small Hut"));
        f.Press("Houses", Qt::Key_F2);
        f.Press("HOUSES", Qt::Key_F2);
        QVERIFY(f.LastMessage().contains("already a category named \"Ships\""));
        f.Press("Small", Qt::Key_F2);
        QCOMPARE(f.Tree(), QStringList({"HOUSES", "  Stone", "    Small Hut", "    Cabin", "Ships",
                                        "  Galleys", "    Galley", "Towers"}));
        QCOMPARE(f.window->trvTemplates->currentItem()->text(0), QString("Stone"));
    }

    // Delete on a subsection or category that holds templates asks, naming how many go with it;
    // an empty one goes at once.
    void deleteTakesTheTemplatesAfterAsking() {
        Fixture f;
        f.prompts.Answer({"No", "Yes"});
        f.Press("Small", Qt::Key_Delete);
        QCOMPARE(f.prompts.Questions.value(0),
                 QString("Are you sure you want to delete the subsection \"Small\" and the 2 "
                         "templates filed under it?"));
        QCOMPARE(f.Tree().size(), 8);
        f.Press("Houses", Qt::Key_Delete);
        f.Press("Towers", Qt::Key_Delete);
        QCOMPARE(f.prompts.Questions.size(), 2);
        QCOMPARE(f.Tree(), QStringList({"Ships", "  Galleys", "    Galley"}));
        QCOMPARE(f.window->lblShown->text(), QString("1 template"));
    }

    // The menu's Duplicate files "Copy of ..." beside the original and selects it; Move goes
    // through the template info dialog; a new category of a name the library has selects that.
    void duplicateMoveAndNewCategoryFromTheMenu() {
        Fixture f;
        f.window->show(); // the menu opens at a node where it is drawn
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.Select("Cabin");
        WhenModal<QMenu>([](QMenu& menu) {
            menu.findChild<QAction*>("mnuDuplicate")->trigger();
            menu.close();
        });
        QTreeWidget* tree = f.window->trvTemplates;
        f.window->trvTemplates_ContextMenu(tree->visualItemRect(tree->currentItem()).center());
        QCOMPARE(f.window->lblSelectedTemplate->text(), QString("Copy of Cabin"));

        WhenModal<frmTemplateInfo>([](frmTemplateInfo& info) {
            QCOMPARE(info.cboCategory->currentText(), QString("Houses"));
            QCOMPARE(info.txtDescription->text(), QString("Copy of Cabin"));
            info.cboCategory->setCurrentIndex(1); // Ships, Galleys
            emit info.cboCategory->activated(1);
            info.txtDescription->setText("Raft");
            info.cmdOk->click();
        });
        f.window->mnuMove_Click(tree->currentItem());
        QCOMPARE(f.Tree().mid(4, 4), QStringList({"Ships", "  Galleys", "    Galley", "    Raft"}));
        QCOMPARE(tree->currentItem()->text(0), QString("Raft"));

        f.prompts.Answer({" towers"});
        f.window->mnuNewCategory_Click();
        QCOMPARE(tree->currentItem()->text(0), QString("Towers"));
        QCOMPARE(f.Tree().size(), 9);
    }

    // The filter shows the templates whose name holds the text, whatever its case, under their
    // categories and subsections, and says how many of all it shows.
    void filterShowsMatchingTemplatesAndTheirCount() {
        Fixture f;
        QCOMPARE(f.window->lblShown->text(), QString("3 templates"));
        f.window->txtFilter->setText("a");
        QCOMPARE(f.Shown(),
                 QStringList({"Houses", "Small", "Cabin", "Ships", "Galleys", "Galley"}));
        QCOMPARE(f.window->lblShown->text(), QString("2 of 3 templates shown"));
        f.window->txtFilter->setText("HUT");
        QCOMPARE(f.Shown(), QStringList({"Houses", "Small", "Hut"}));
        f.window->txtFilter->clear();
        QCOMPARE(f.Shown().size(), 8);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::LibraryTreeTest)
#include "LibraryTreeTest.moc"
