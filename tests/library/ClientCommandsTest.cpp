#include "client/RecordingClientLink.h"
#include "common/Files.h"
#include "library/WindowFixture.h"

namespace mw::test {

class ClientCommandsTest : public QObject {
    Q_OBJECT

    struct ClientFixture : WindowFixture {
        ClientFixture() {
            AddHousesSmall({"1187, 0, 0, 0, 1", "1188, -1, 2, 5, 1", "1189, 4, -3, 0, 0"});
            Open();
            session.SphereFolderPath = Server.Path() + "/";
            window->SetClientLink(&Link);
        }
        // "Extract from Server" with the window active, then the user goes to the game and comes
        // back to the main window.
        void ExtractAndComeBack() {
            window->show();
            window->activateWindow(); // also after a dialog of an earlier hand-over
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            window->cmdExtractFromSphere_Click();
            QTest::qWait(30);
            window->repaint(); // a repaint before the user went away does nothing
            QApplication::processEvents();
            QVERIFY(window->blnExtractPending);
            ComeBack();
        }
        void ComeBack() {
            QApplication::setActiveWindow(nullptr);
            QApplication::setActiveWindow(window.get());
            QApplication::processEvents();
        }
        TempFolder Server;
        RecordingClientLink Link;
    };

private slots:
    // Build Multi needs a selected template and a server folder it can write to; then it writes
    // the template for the server and types the command on the tick, never from the click itself.
    void buildWritesTheTemplateForTheServerThenTypesTheCommand() {
        ClientFixture f;
        const std::string server = f.session.SphereFolderPath;
        f.window->cmdBuildTemplate_Click();
        QVERIFY(f.LastMessage().contains("Select the template"));
        f.session.SphereFolderPath.clear();
        f.Select("Hut");
        f.window->cmdBuildTemplate_Click();
        QVERIFY(f.LastMessage().contains("server folder"));
        f.session.SphereFolderPath = "/no/such/folder/";
        f.window->cmdBuildTemplate_Click();
        QVERIFY(f.LastMessage().contains("/no/such/folder/"));
        QTest::qWait(30);
        QVERIFY(f.Link.Activations.empty());

        f.session.SphereFolderPath = server;
        f.window->cmdBuildTemplate_Click();
        QCOMPARE(ReadFile(f.Server.File("template.tmp")),
                 TemplateFile({"1187 0 0 0 1", "1188 -1 2 5 1", "1189 4 -3 0 0"}));
        QVERIFY(f.Link.Typed.empty());
        QTRY_COMPARE(f.Link.Typed, std::string("\n.unextract template.tmp 1\n"));
        QCOMPARE(f.Link.Activations,
                 (std::vector<RecordingClientLink::Activation>{{"Ultima Online", false}}));
    }

    // An Extract that another command replaced before the tick leaves nothing to take over.
    void nukeWaitsForOurFocusAndTheLastCommandWins() {
        ClientFixture f;
        f.window->cmdNuke_Click();
        QVERIFY(f.Link.Activations.back().WaitForOurFocus);
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdNuke_Click();
        QVERIFY(!f.window->blnExtractPending);
        QTest::qWait(50);
        QCOMPARE(f.Link.Typed, std::string("\n.nuke\n"));
        f.Select("Hut");
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdBuildTemplate_Click();
        QVERIFY(!f.window->blnExtractPending);
        QTest::qWait(50);
        QCOMPARE(f.Link.Typed, std::string("\n.nuke\n\n.unextract template.tmp 1\n"));
    }

    // The client is not running, or the focus moved on before the tick: nothing is typed and no
    // Extract is left to take over, but Build has written its file.
    void clientNotRunningOrFocusLostTypesNothing() {
        ClientFixture f;
        f.Link.ClientRunning = false;
        f.Select("Hut");
        f.window->cmdBuildTemplate_Click();
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdNuke_Click();
        QTest::qWait(30);
        QCOMPARE(f.prompts.Messages.size(), size_t(3));
        for (const auto& shown : f.prompts.Messages)
            QCOMPARE(shown.Text, QString("Ultima Online is not running"));
        QVERIFY(!f.window->blnExtractPending);
        QVERIFY(FileExists(f.Server.File("template.tmp")));

        f.Link.ClientRunning = true;
        f.window->cmdExtractFromSphere_Click();
        f.Link.LoseFocus();
        QTest::qWait(30);
        QVERIFY(f.LastMessage().contains("focus"));
        QVERIFY(!f.window->blnExtractPending);
        QVERIFY(f.Link.Typed.empty());
    }

    // Cancelled in the template info dialog it files nothing; the next one is filed, once.
    void extractedStructureIsFiledOnceWhenTheUserComesBack() {
        ClientFixture f;
        f.Server.Write("temp.tmp", TemplateFile({"1300 0 0 0", "1301 1 1 0"}));
        bool asked = false;
        WhenModal<frmTemplateInfo>([&asked](frmTemplateInfo& info) {
            asked = true;
            info.cmdCancel->click();
        });
        f.ExtractAndComeBack();
        QTRY_VERIFY(asked);
        QTest::qWait(30);
        QCOMPARE(f.Tree().size(), 3);

        FileAs("Extracted");
        f.ExtractAndComeBack();
        QTRY_COMPARE(f.Tree().size(), 4);
        QCOMPARE(f.Tree().last(), QString("    Extracted"));
        f.ComeBack(); // taken over once only
        QTest::qWait(30);
        QCOMPARE(f.Tree().size(), 4);
        QVERIFY(f.prompts.Messages.empty());
    }

    // The reader's message box repaints the window: that must not start the hand-over again.
    void missingExtractFileGivesTheReadersMessageOnce() {
        ClientFixture f;
        f.prompts.WhileShown = [&f] { f.window->repaint(); };
        f.ExtractAndComeBack();
        QTRY_COMPARE(f.prompts.Messages.size(), size_t(1));
        QCOMPARE(f.prompts.Messages[0].Title, QString("Error While Reading Multi Template File"));
        f.ComeBack();
        QTest::qWait(30);
        QCOMPARE(f.prompts.Messages.size(), size_t(1));
        QCOMPARE(f.Tree().size(), 3);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ClientCommandsTest)
#include "ClientCommandsTest.moc"
