#include "library/WindowFixture.h"
#include "library/frmTemplateInfo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

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
    void emptyLibraryOffersOnlyANewCategory() {
        WindowFixture f;
        frmWardstone& w = f.Open();
        frmTemplateInfo dialog(w);
        QCOMPARE(dialog.windowTitle(), QString("Template General Categories"));
        QCOMPARE(dialog.cboCategory->count(), 0);
        QVERIFY(!dialog.cmdNewSubSection->isEnabled());
        dialog.txtDescription->setText("Tower");
        QVERIFY(!dialog.cmdOk->isEnabled());

        f.prompts.Answer({"Keeps"});
        dialog.cmdNewCategory->click();
        QCOMPARE(f.prompts.Questions.back().Text, QString("Enter the new Category Name"));
        QCOMPARE(f.prompts.Questions.back().Title, QString("Add New Category"));
        QCOMPARE(dialog.cboCategory->currentText(), QString("Keeps"));
        QCOMPARE(dialog.cboSubSection->count(), 0);
        QVERIFY(dialog.cmdNewSubSection->isEnabled());
        QVERIFY(!dialog.cmdOk->isEnabled());

        f.prompts.Answer({"Stone", ""});
        dialog.cmdNewSubSection->click();
        dialog.cmdNewSubSection->click(); // an empty answer adds nothing
        QCOMPARE(Entries(dialog.cboSubSection), QStringList({"Stone"}));
        QCOMPARE(dialog.cboSubSection->currentText(), QString("Stone"));
        QVERIFY(dialog.cmdOk->isEnabled());
        dialog.txtDescription->setText("   ");
        QVERIFY(!dialog.cmdOk->isEnabled());
        dialog.txtDescription->setText("  Small Tower ");
        dialog.cmdOk->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!w.blnCancelAdd);
        QCOMPARE(w.NewCategoryID, QString("1"));
        QCOMPARE(w.NewSubsectID, QString("1"));
        QCOMPARE(w.strNewDescription, QString("Small Tower"));
    }

    void choosingACategoryRefillsItsSubsections() {
        WindowFixture f;
        f.Sql("insert into Category(Name) values ('Houses'), ('Ships');"
              "insert into SubSection(CategoryID, Name) values (1, 'Small'), (1, 'Large'), (2, "
              "'Galleys')");
        frmWardstone& w = f.Open();
        frmTemplateInfo dialog(w);
        QCOMPARE(Entries(dialog.cboCategory), QStringList({"Houses", "Ships"}));
        QCOMPARE(Entries(dialog.cboSubSection), QStringList({"Small", "Large"}));
        QCOMPARE(dialog.cboSubSection->currentText(), QString("Small"));
        dialog.cboCategory->setCurrentIndex(1);
        emit dialog.cboCategory->activated(1);
        QCOMPARE(Entries(dialog.cboSubSection), QStringList({"Galleys"}));

        f.prompts.Answer({"Docks"});
        dialog.cmdNewCategory->click();
        QCOMPARE(Entries(dialog.cboCategory), QStringList({"Houses", "Ships", "Docks"}));
        QCOMPARE(dialog.cboSubSection->count(), 0);
    }

    void closeBoxNeedsCompleteEntriesOrCancel() {
        WindowFixture f;
        f.AddHousesSmall();
        frmWardstone& w = f.Open();
        w.NewCategoryID = "unchanged";
        {
            frmTemplateInfo dialog(w);
            dialog.show();
            QPoint offCentre =
                dialog.geometry().center() - dialog.screen()->availableGeometry().center();
            QVERIFY(offCentre.manhattanLength() <= 4); // the window frame may shift it a little
            dialog.close();
            QVERIFY(dialog.isVisible());
            QCOMPARE(f.prompts.Messages.back().Text, QString("Press the cancel button to cancel"));
            QCOMPARE(f.prompts.Messages.back().Title, QString("Invalid Selection"));
            dialog.txtDescription->setText("Cottage");
            dialog.close(); // with every entry filled the close box counts as OK
            QVERIFY(!dialog.isVisible());
            QVERIFY(!w.blnCancelAdd);
            QCOMPARE(w.strNewDescription, QString("Cottage"));
        }
        frmTemplateInfo dialog(w);
        dialog.show();
        f.prompts.Answer({"Kept"});
        dialog.cmdNewCategory->click();
        w.strNewDescription = "before";
        dialog.cmdCancel->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(w.blnCancelAdd);
        QCOMPARE(w.strNewDescription, QString("before"));
        frmTemplateInfo next(w); // the category added before Cancel stays
        QCOMPARE(Entries(next.cboCategory), QStringList({"Houses", "Kept"}));
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::TemplateInfoTest)
#include "TemplateInfoTest.moc"
