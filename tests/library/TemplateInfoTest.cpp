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
    // OK and the close box need a category, a subsection and a description, so nothing is filed
    // half placed; Cancel files nothing but keeps a category added before it.
    void entriesMustBeCompleteOrCancelled() {
        WindowFixture f;
        frmWardstone& w = f.Open();
        {
            frmTemplateInfo dialog(w);
            dialog.show();
            QCOMPARE(dialog.cboCategory->count(), 0);
            QVERIFY(!dialog.cmdNewSubSection->isEnabled());
            dialog.txtDescription->setText("Tower");
            f.prompts.Answer({"Keeps"});
            dialog.cmdNewCategory->click();
            QCOMPARE(dialog.cboCategory->currentText(), QString("Keeps"));
            QVERIFY(dialog.cmdNewSubSection->isEnabled());
            QVERIFY(!dialog.cmdOk->isEnabled());
            dialog.close();
            QVERIFY(dialog.isVisible());
            QCOMPARE(f.LastMessage(), QString("Press the cancel button to cancel"));

            f.prompts.Answer({"Stone", ""});
            dialog.cmdNewSubSection->click();
            dialog.cmdNewSubSection->click(); // an empty answer adds nothing
            QCOMPARE(Entries(dialog.cboSubSection), QStringList({"Stone"}));
            QVERIFY(dialog.cmdOk->isEnabled());
            dialog.txtDescription->setText("   ");
            QVERIFY(!dialog.cmdOk->isEnabled());
            dialog.txtDescription->setText("  Small Tower ");
            dialog.close(); // with every entry filled the close box counts as OK
            QVERIFY(!dialog.isVisible());
            QVERIFY(!w.blnCancelAdd);
            QCOMPARE(w.NewCategoryID, QString("1"));
            QCOMPARE(w.NewSubsectID, QString("1"));
            QCOMPARE(w.strNewDescription, QString("Small Tower"));
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
        QCOMPARE(Entries(next.cboCategory), QStringList({"Keeps", "Kept"}));
    }

    void choosingACategoryRefillsItsSubsections() {
        WindowFixture f;
        f.Sql("insert into Category(Name) values ('Houses'), ('Ships');"
              "insert into SubSection(CategoryID, Name) values (1, 'Small'), (1, 'Large'), (2, "
              "'Galleys')");
        frmWardstone& w = f.Open();
        frmTemplateInfo dialog(w);
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
};

} // namespace mw::test

QTEST_MAIN(mw::test::TemplateInfoTest)
#include "TemplateInfoTest.moc"
