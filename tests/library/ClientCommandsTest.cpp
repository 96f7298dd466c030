#include "client/RecordingClientLink.h"
#include "common/TextFile.h"
#include "library/WindowFixture.h"
#include "library/frmTemplateInfo.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace mw::test {

class ClientCommandsTest : public QObject {
    Q_OBJECT

    struct ClientFixture : WindowFixture {
        ClientFixture() {
            Sql("insert into Category(Name) values ('Houses');"
                "insert into SubSection(CategoryID, Name) values (1, 'Small');"
                "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) values "
                "(3, 1, 1, 'Hut');"
                "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values "
                "(1187, 0, 0, 0, 1, 1), (1188, -1, 2, 5, 1, 1), (1189, 4, -3, 0, 0, 1)");
            Open();
            session.SphereFolderPath = Server.Path() + "/";
            window->SetClientLink(&Link);
        }
        void SelectHut() {
            window->trvTemplates->setCurrentItem(
                window->trvTemplates->findItems("Hut", Qt::MatchExactly | Qt::MatchRecursive)
                    .first());
        }
        // The user goes to the game and comes back to the main window.
        void SwitchAwayAndBack() {
            window->show();
            QApplication::setActiveWindow(nullptr);
            QApplication::setActiveWindow(window.get());
            QApplication::processEvents();
        }
        TempFolder Server;
        RecordingClientLink Link;
    };

    static QString LastMessage(const ClientFixture& f) {
        return f.prompts.Messages.empty() ? QString() : f.prompts.Messages.back().Text;
    }

private slots:
    void buildWritesTheTemplateForTheServerThenTypesTheCommand() {
        ClientFixture f;
        f.SelectHut();
        f.window->cmdBuildTemplate_Click();
        QCOMPARE(ReadFile(f.Server.File("template.tmp")),
                 std::string("6 version\r\n1 template id\r\n-1 item version\r\n3 num components\r\n"
                             "1187 0 0 0 1\r\n1188 -1 2 5 1\r\n1189 4 -3 0 0\r\n"));
        QVERIFY(f.Link.Typed.empty()); // never from the click itself
        QTRY_COMPARE(f.Link.Typed, std::string("\n.unextract template.tmp 1\n"));
        QCOMPARE(f.Link.Activations.size(), size_t(1));
        QCOMPARE(f.Link.Activations[0].Title, std::string("Ultima Online"));
        QVERIFY(!f.Link.Activations[0].WaitForOurFocus);
    }

    void nukeWaitsForOurFocusAndTheLastCommandWins() {
        ClientFixture f;
        f.window->cmdNuke_Click();
        QVERIFY(f.Link.Activations.back().WaitForOurFocus);
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdNuke_Click();
        QTest::qWait(50);
        QCOMPARE(f.Link.Typed, std::string("\n.nuke\n"));
    }

    void clientNotRunningTypesNothingButBuildHasWrittenItsFile() {
        ClientFixture f;
        f.Link.ClientRunning = false;
        f.SelectHut();
        f.window->cmdBuildTemplate_Click();
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdNuke_Click();
        QTest::qWait(30);
        QCOMPARE(f.prompts.Messages.size(), size_t(3));
        for (const auto& shown : f.prompts.Messages) {
            QCOMPARE(shown.Text, QString("Ultima Online is not running"));
            QCOMPARE(shown.Title, QString("Client is not active"));
            QVERIFY(shown.Icon == MessageIcon::Exclamation);
        }
        QVERIFY(f.Link.Typed.empty());
        QVERIFY(!f.window->blnExtractPending);
        QVERIFY(FileExists(f.Server.File("template.tmp")));
    }

    void focusMovedBeforeTheTickTypesNothing() {
        ClientFixture f;
        f.window->cmdExtractFromSphere_Click();
        f.Link.LoseFocus();
        QTest::qWait(30);
        QVERIFY(f.Link.Typed.empty());
        QVERIFY(LastMessage(f).contains("focus"));
        QVERIFY(!f.window->blnExtractPending);
    }

    void missingSelectionOrServerFolderIsToldAndNothingTyped() {
        ClientFixture f;
        f.window->cmdBuildTemplate_Click();
        QVERIFY(LastMessage(f).contains("Select the template"));
        f.session.SphereFolderPath.clear();
        f.SelectHut();
        f.window->cmdBuildTemplate_Click();
        QVERIFY(LastMessage(f).contains("server folder"));
        f.session.SphereFolderPath = "/no/such/folder/";
        f.window->cmdBuildTemplate_Click();
        QVERIFY(LastMessage(f).contains("/no/such/folder/"));
        QTest::qWait(30);
        QVERIFY(f.Link.Activations.empty());
        QVERIFY(f.Link.Typed.empty());
    }

    void extractedStructureIsFiledWhenTheUserComesBack() {
        ClientFixture f;
        f.Server.Write("temp.tmp", "6 version\n1 template id\n-1 item version\n2 num components\n"
                                   "1300 0 0 0\n1301 1 1 0\n");
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.window->cmdExtractFromSphere_Click();
        QTest::qWait(30);
        f.window->repaint(); // a repaint before the user went away does nothing
        QApplication::processEvents();
        QVERIFY(f.window->blnExtractPending);
        QTimer::singleShot(50, [] {
            auto* info = qobject_cast<frmTemplateInfo*>(QApplication::activeModalWidget());
            QVERIFY(info);
            info->txtDescription->setText("Extracted");
            info->cmdOk->click();
        });
        f.SwitchAwayAndBack();
        QTRY_COMPARE(f.Tree().size(), 4);
        QCOMPARE(f.Tree().last(), QString("    Extracted"));
        QVERIFY(!f.window->blnExtractPending);
        f.SwitchAwayAndBack(); // taken over once only
        QTest::qWait(30);
        QCOMPARE(f.Tree().size(), 4);
    }

    void cancelledInfoDialogFilesNothing() {
        ClientFixture f;
        f.Server.Write("temp.tmp",
                       "6 version\n1 template id\n-1 item version\n1 num components\n1 0 0 0\n");
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.window->cmdExtractFromSphere_Click();
        bool asked = false;
        QTimer::singleShot(50, [&asked] {
            auto* info = qobject_cast<frmTemplateInfo*>(QApplication::activeModalWidget());
            asked = info != nullptr;
            if (info) info->cmdCancel->click();
        });
        f.SwitchAwayAndBack();
        QTRY_VERIFY(asked);
        QTest::qWait(30);
        QCOMPARE(f.Tree().size(), 3);
        QVERIFY(f.prompts.Messages.empty());
    }

    void missingExtractFileGivesTheReadersMessageOnce() {
        ClientFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.window->cmdExtractFromSphere_Click();
        f.SwitchAwayAndBack();
        QTRY_COMPARE(f.prompts.Messages.size(), size_t(1));
        QCOMPARE(f.prompts.Messages[0].Title, QString("Error While Reading Multi Template File"));
        f.SwitchAwayAndBack();
        QTest::qWait(30);
        QCOMPARE(f.prompts.Messages.size(), size_t(1));
        QCOMPARE(f.Tree().size(), 3);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ClientCommandsTest)
#include "ClientCommandsTest.moc"
