// The library tree of the main window, and the template info dialog that files templates in it.
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

    static QStringList Entries(QComboBox* list) {
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        return entries;
    }

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

    // The subsections offered are those of the chosen category, also of one just added. OK and
    // the close box need a category, a subsection and a description, so nothing is filed half
    // placed; with all three the close box counts as OK.
    void entriesFollowTheCategoryAndMustBeComplete() {
        WindowFixture f;
        f.Sql("insert into Category(Name) values ('Houses'), ('Ships');"
              "insert into SubSection(CategoryID, Name) values (1, 'Small'), (1, 'Large'), (2, "
              "'Galleys')");
        frmWardstone& w = f.Open();
        frmTemplateInfo dialog(w);
        dialog.show();
        QCOMPARE(Entries(dialog.cboSubSection), QStringList({"Small", "Large"}));
        dialog.cboCategory->setCurrentIndex(1);
        emit dialog.cboCategory->activated(1);
        QCOMPARE(Entries(dialog.cboSubSection), QStringList({"Galleys"}));

        dialog.txtDescription->setText("  Galley ");
        f.prompts.Answer({"Docks", "Pier"});
        dialog.cmdNewCategory->click();
        QVERIFY(!dialog.cmdOk->isEnabled()); // the new category has no subsection yet
        dialog.close();
        QVERIFY(dialog.isVisible());
        QVERIFY(f.LastMessage().contains("cancel"));
        dialog.cmdNewSubSection->click();
        dialog.close();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!w.blnCancelAdd);
        QCOMPARE(w.NewCategoryID, QString("3"));
        QCOMPARE(w.NewSubsectID, QString("4"));
        QCOMPARE(w.strNewDescription, QString("Galley"));
    }

    // Adding a name the library has (blanks and case aside) selects the existing entry.
    void addingAnExistingNameSelectsIt() {
        WindowFixture f;
        f.Sql("insert into Category(Name) values ('Ships'), ('Houses');"
              "insert into SubSection(CategoryID, Name) values (2, 'Small'), (2, 'Large')");
        frmTemplateInfo dialog(f.Open());
        f.prompts.Answer({" houses ", "LARGE"});
        dialog.cmdNewCategory->click();
        QCOMPARE(dialog.cboCategory->currentText(), QString("Houses"));
        dialog.cmdNewSubSection->click();
        QCOMPARE(dialog.cboSubSection->currentText(), QString("Large"));
        QCOMPARE(Entries(dialog.cboCategory), QStringList({"Ships", "Houses"}));
        QCOMPARE(Entries(dialog.cboSubSection), QStringList({"Small", "Large"}));
    }

    // Enter presses OK while it is enabled, and only then; Escape cancels even with every entry
    // filled, where the close box would file the template.
    void enterConfirmsAndEscapeCancels() {
        WindowFixture f;
        f.AddHousesSmall();
        frmWardstone& w = f.Open();
        {
            frmTemplateInfo dialog(w);
            dialog.show();
            QTest::keyClick(dialog.txtDescription, Qt::Key_Return); // no description yet
            QVERIFY(dialog.isVisible());
            QTest::keyClicks(dialog.txtDescription, "Hut");
            QTest::keyClick(dialog.txtDescription, Qt::Key_Return);
            QVERIFY(!dialog.isVisible() && !w.blnCancelAdd);
            QCOMPARE(w.strNewDescription, QString("Hut"));
        }
        frmTemplateInfo dialog(w);
        dialog.show();
        dialog.txtDescription->setText("Cabin");
        QTest::keyClick(dialog.txtDescription, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible() && w.blnCancelAdd);
        QCOMPARE(w.strNewDescription, QString("Hut")); // as it was
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::LibraryTreeTest)
#include "LibraryTreeTest.moc"
