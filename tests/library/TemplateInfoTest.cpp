#include "library/WindowFixture.h"

namespace mw::test {

class TemplateInfoTest : public QObject {
    Q_OBJECT

    static QStringList Entries(QComboBox* list) {
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        return entries;
    }

private slots:
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

QTEST_MAIN(mw::test::TemplateInfoTest)
#include "TemplateInfoTest.moc"
