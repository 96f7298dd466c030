#include "client/RecordingClientLink.h"
#include "library/WindowFixture.h"

#include <QTimer>

namespace mw::test {

class ClientCommandsTest : public QObject {
    Q_OBJECT

    struct ClientFixture : WindowFixture {
        ClientFixture() {
            AddHousesSmall({"1187, 0, 0, 0, 1", "1188, -1, 2, 5, 1"});
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
            QTRY_VERIFY(!window->tmrCommand->isActive()); // typed
            window->repaint(); // a repaint before the user went away does nothing
            QApplication::processEvents();
            QVERIFY(window->blnExtractPending);
            ComeBack();
        }
        void ComeBack() {
            QApplication::setActiveWindow(nullptr);
            QApplication::setActiveWindow(window.get());
            Settle();
        }
        // Everything that is due has run: posted events, repaints and zero timers.
        static void Settle() {
            QCoreApplication::sendPostedEvents();
            QApplication::processEvents();
        }
        TempFolder Server;
        RecordingClientLink Link;
    };

private slots:
    // Build Multi writes the selected template for the server and types the command on the tick;
    // a server folder it cannot write to stops it before the client is touched.
    void buildWritesTheTemplateForTheServerThenTypesTheCommand() {
        ClientFixture f;
        const std::string server = f.session.SphereFolderPath;
        f.Select("Hut");
        f.session.SphereFolderPath = "/no/such/folder/";
        f.window->cmdBuildTemplate_Click();
        QVERIFY(f.LastMessage().contains("/no/such/folder/"));
        f.session.SphereFolderPath = server;
        f.window->cmdBuildTemplate_Click();
        QCOMPARE(ReadFile(f.Server.File("template.tmp")),
                 TemplateFile({"1187 0 0 0 1", "1188 -1 2 5 1"}));
        QTRY_COMPARE(f.Link.Typed, std::string("\n.unextract template.tmp 1\n"));
        QCOMPARE(f.Link.Activations,
                 (std::vector<RecordingClientLink::Activation>{{"Ultima Online", false}}));
    }

    // An Extract that Build or Nuke replaced before the tick leaves nothing to take over, and
    // only the last command is typed; Nuke waits for our window to let go of the focus.
    void aCommandReplacesAPendingExtract() {
        ClientFixture f;
        f.Select("Hut");
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdBuildTemplate_Click();
        QVERIFY(!f.window->blnExtractPending);
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdNuke_Click();
        QVERIFY(!f.window->blnExtractPending);
        QVERIFY(f.Link.Activations.back().WaitForOurFocus);
        QTRY_VERIFY(!f.window->tmrCommand->isActive());
        QCOMPARE(f.Link.Typed, std::string("\n.nuke\n"));
    }

    // The client is not running, or the focus moved on before the tick: nothing is typed and no
    // Extract is left to take over.
    void clientNotRunningOrFocusLostTypesNothing() {
        ClientFixture f;
        f.Link.ClientRunning = false;
        f.Select("Hut");
        f.window->cmdBuildTemplate_Click();
        f.window->cmdExtractFromSphere_Click();
        QVERIFY(!f.window->tmrCommand->isActive()); // nothing to type
        QCOMPARE(f.prompts.Messages.size(), 2);
        QVERIFY(f.LastMessage().contains("not running"));
        QVERIFY(!f.window->blnExtractPending);

        f.Link.ClientRunning = true;
        f.window->cmdExtractFromSphere_Click();
        f.Link.LoseFocus();
        QTRY_VERIFY(f.LastMessage().contains("focus"));
        QVERIFY(!f.window->blnExtractPending);
        QVERIFY(f.Link.Typed.empty());
    }

    // The hand-over of temp.tmp runs once the user is back, once: the reader's message box
    // repaints the window without starting it again, and a structure read is filed once only.
    void extractedStructureIsTakenOverOnceWhenTheUserComesBack() {
        ClientFixture f;
        f.prompts.WhileShown = [&f] { f.window->repaint(); };
        f.ExtractAndComeBack(); // no temp.tmp yet
        QTRY_COMPARE(f.prompts.Messages.size(), 1);
        f.Settle();
        QCOMPARE(f.prompts.Messages.size(), 1);

        f.Server.Write("temp.tmp", TemplateFile({"1300 0 0 0", "1301 1 1 0"}));
        FileAs("Extracted");
        f.ExtractAndComeBack();
        QTRY_COMPARE(f.Tree().size(), 4);
        QCOMPARE(f.Tree().last(), QString("    Extracted"));
        f.ComeBack();
        f.Settle();
        QCOMPARE(f.Tree().size(), 4);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ClientCommandsTest)
#include "ClientCommandsTest.moc"
