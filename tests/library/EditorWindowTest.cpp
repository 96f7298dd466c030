#include "library/ComponentTable.h"
#include "library/PreviewCanvas.h"
#include "library/WindowFixture.h"
#include "library/frmEditor.h"

#include <QAction>
#include <QCursor>
#include <QSignalSpy>
#include <QTableView>
#include <QUndoStack>
#include <sqlite3.h>

namespace mw::test {

using Lines = std::vector<std::string>;

class EditorWindowTest : public QObject {
    Q_OBJECT

    // Hut: floors at 0,0 and 2,0, the listed door at 0,3 and a roof tile at 0,0 high up; the
    // main window open on it. Without art every component is a box, which clicks find as well.
    struct Fixture : WindowFixture {
        Fixture() {
            AddHousesSmall(
                {"1, 0, 0, 0, 1", "2, 2, 0, 0, 1", "1653, 0, 3, 0, 0", "3, 0, 0, 20, 1"});
            Open();
            Select("Hut");
        }
        frmEditor& Edit() {
            window->cmdEdit->click();
            frmEditor* editor = window->EditorOf(1);
            if (!editor) throw std::logic_error("no editor window");
            WaitDrawn(*editor);
            return *editor;
        }
        Lines Stored() { return StoredBlocks(session.cnTemplates, 1); }
    };

    static void WaitDrawn(frmEditor& e) {
        QTRY_VERIFY_WITH_TIMEOUT(!e.Drawing() && e.Picture(), 60000);
    }

    // The widget point of a template point at z 0.
    static QPoint OnScreen(const frmEditor& e, int x, int y) {
        const PreviewPicture& picture = *e.Picture();
        return e.picEditor
            ->FromPicture(QPointF(picture.OriginX + (x - y) * 22, picture.OriginY + (x + y) * 22))
            .toPoint();
    }

    static void Key(frmEditor& e, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(e.picEditor, Qt::Key(key), modifiers);
    }

private slots:
    // Double-click and Edit open one editor per template; a rectangle selects the floors, the
    // arrow keys move them as one step, undo and redo name it, and Save stores the moved
    // components in place under the same key.
    void rectangleMoveUndoAndSave() {
        Fixture f;
        frmEditor& e = f.Edit();
        emit f.window->trvTemplates->itemDoubleClicked(f.window->trvTemplates->currentItem(), 0);
        QCOMPARE(f.window->EditorOf(1), &e);
        QCOMPARE(e.windowTitle(), QString("Edit - Hut[*]"));

        const QPoint from = OnScreen(e, 0, 0) - QPoint(12, 12),
                     to = OnScreen(e, 2, 0) + QPoint(12, 12);
        QTest::mousePress(e.picEditor, Qt::LeftButton, {}, from);
        QTest::mouseMove(e.picEditor, to);
        QTest::mouseRelease(e.picEditor, Qt::LeftButton, {}, to);
        QCOMPARE(e.Selected().Listed(), (std::vector<std::uint32_t>{0, 1})); // not the roof above
        QCOMPARE(e.tblComponents->selectionModel()->selectedRows().size(), 2);

        Key(e, Qt::Key_Right);
        Key(e, Qt::Key_Right);
        Key(e, Qt::Key_PageUp);
        const Lines moved{"1 2 0 1 1", "2 4 0 1 1", "1653 0 3 0 0", "3 0 0 20 1"};
        QCOMPARE(Rows(e.Components()), moved);
        QCOMPARE(e.mnuUndo->text(), QString("&Undo Move"));
        QVERIFY(e.isWindowModified());
        Key(e, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Rows(e.Components()),
                 (Lines{"1 0 0 0 1", "2 2 0 0 1", "1653 0 3 0 0", "3 0 0 20 1"}));
        QCOMPARE(e.Selected().Listed(), (std::vector<std::uint32_t>{0, 1}));
        QVERIFY(!e.isWindowModified());
        Key(e, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Rows(e.Components()), moved);

        QVERIFY(e.Save());
        QCOMPARE(f.Stored(), moved);
        QVERIFY(!e.isWindowModified());
        QCOMPARE(f.window->lblItemCount->text(), QString("4"));
        QCOMPARE(f.window->SelectedTemplateId(), std::optional<std::int32_t>(1));
    }

    // A click selects the component drawn there, Ctrl-click adds and takes away; the table
    // follows through a sort, and a row chosen there selects the component.
    void clicksAndTheTableSelectInStep() {
        Fixture f;
        frmEditor& e = f.Edit();
        QTest::mouseClick(e.picEditor, Qt::LeftButton, {}, OnScreen(e, 2, 0));
        QCOMPARE(e.Selected().Listed(), (std::vector<std::uint32_t>{1}));
        QTest::mouseClick(e.picEditor, Qt::LeftButton, Qt::ControlModifier, OnScreen(e, 0, 3));
        QCOMPARE(e.Selected().Listed(), (std::vector<std::uint32_t>{1, 2}));
        QTest::mouseClick(e.picEditor, Qt::LeftButton, Qt::ControlModifier, OnScreen(e, 2, 0));
        QCOMPARE(e.Selected().Listed(), (std::vector<std::uint32_t>{2}));

        e.tblComponents->sortByColumn(ComponentTable::ItemIdColumn, Qt::DescendingOrder);
        auto* table = static_cast<ComponentTable*>(e.tblComponents->model());
        QCOMPARE(table->index(0, 0).data().toString(), QString("0x0675"));
        QCOMPARE(e.tblComponents->selectionModel()->selectedRows().value(0).row(), 0);
        e.tblComponents->selectionModel()->select(table->index(3, 0), // item 1, the first floor
                                                  QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
        QCOMPARE(e.Selected().Listed(), (std::vector<std::uint32_t>{0}));
        e.findChild<QAction*>("mnuSelectFloor")->trigger();
        QCOMPARE(e.Selected().Listed(), (std::vector<std::uint32_t>{0, 1, 2}));
    }

    // Add, paste, replace, turn, set z and delete each make one named step; undoing them all
    // gives the template back exactly, redoing them all the same result again.
    void operationsUndoAndRedoExactly() {
        Fixture f;
        frmEditor& e = f.Edit();
        const TemplateComponents original = e.Components();
        f.prompts.Answer({"0x675 1 1 5", "0x0002 0x0003", "7"});
        e.findChild<QAction*>("mnuAdd")->trigger();
        QCOMPARE(Rows(TemplateComponents{e.Components().back()}),
                 (Lines{"1653 1 1 5 0"})); // listed: flag 0
        QCOMPARE(f.prompts.Offered.value(0), QString("0x0001 0 0 0"));
        e.Select(Selection::Of({1}));
        Key(e, Qt::Key_C, Qt::ControlModifier);
        QCursor::setPos(e.picEditor->mapToGlobal(OnScreen(e, 3, 3)));
        Key(e, Qt::Key_V, Qt::ControlModifier); // centred on the tile under the pointer
        QCOMPARE(e.Selected().Listed(), (std::vector<std::uint32_t>{5}));
        QCOMPARE(Rows(TemplateComponents{e.Components().back()}), (Lines{"2 3 3 0 1"}));
        e.findChild<QAction*>("mnuReplace")->trigger(); // within the pasted one only
        e.findChild<QAction*>("mnuRotate90")->trigger();
        e.findChild<QAction*>("mnuSetZ")->trigger();
        e.Select(Selection::Of({0, 4}));
        Key(e, Qt::Key_Delete, Qt::NoModifier);
        const Lines done{"2 2 0 0 1", "1653 0 3 0 0", "3 0 0 20 1", "3 3 3 7 1"};
        QCOMPARE(Rows(e.Components()), done);
        QCOMPARE(e.UndoStack()->count(), 6);
        QCOMPARE(e.UndoStack()->text(3), QString("Rotate 90 degrees"));
        while (e.UndoStack()->canUndo())
            e.UndoStack()->undo();
        QCOMPARE(e.Components(), original);
        while (e.UndoStack()->canRedo())
            e.UndoStack()->redo();
        QCOMPARE(Rows(e.Components()), done);
        WaitDrawn(e);
    }

    // A save the library refuses (another program holds it locked) keeps the edits and the stored
    // template; closing then asks, Cancel keeps the window (closing the main window too), Save
    // as New files a copy beside the original, and Discard closes without a word to the library.
    void failedSaveSaveAsNewAndClosing() {
        Fixture f;
        frmEditor& e = f.Edit();
        const Lines stored = f.Stored();
        e.Select(Selection::Of({2}));
        e.DeleteSelection();
        Connection other(f.session.cnTemplates.DatabasePath());
        other.OpenConnection("");
        other.Run("begin exclusive");
        sqlite3_busy_timeout(f.session.cnTemplates.Handle(), 50);
        QVERIFY(!e.Save());
        QVERIFY(f.LastMessage().contains("locked"));
        other.Run("rollback");
        QCOMPARE(f.Stored(), stored);
        QCOMPARE(e.Components().size(), size_t{3});
        QVERIFY(e.isWindowModified());

        QPointer<frmEditor> editor(&e);
        f.prompts.Answer({"Cancel"});
        QVERIFY(!e.close());
        FileAs("Hut without door");
        QVERIFY(e.SaveAsNew());
        QCOMPARE(e.TemplateId(), 2);
        QCOMPARE(e.windowTitle(), QString("Edit - Hut without door[*]"));
        QCOMPARE(StoredBlocks(f.session.cnTemplates, 2),
                 (Lines{"1 0 0 0 1", "2 2 0 0 1", "3 0 0 20 1"}));
        QCOMPARE(f.Stored(), stored);
        QCOMPARE(f.window->SelectedTemplateId(), std::optional<std::int32_t>(2));

        e.Recentre();
        f.prompts.Answer({"Cancel", "Discard"});
        QVERIFY(!f.window->close()); // the main window asks its editors first
        QVERIFY(editor && e.isVisible());
        QVERIFY(e.close());
        QTRY_VERIFY(!editor);
        QCOMPARE(f.prompts.Questions.last(),
                 QString("Save the changes to \"Hut without door\" before closing?"));
        QCOMPARE(StoredBlocks(f.session.cnTemplates, 2),
                 (Lines{"1 0 0 0 1", "2 2 0 0 1", "3 0 0 20 1"}));
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::EditorWindowTest)
#include "EditorWindowTest.moc"
