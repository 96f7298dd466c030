#include "ArtFilesBuilder.h"
#include "app/TemplatePreview.h"
#include "library/PreviewCanvas.h"
#include "library/WindowFixture.h"
#include "library/frmPreview.h"
#include "render/PngFile.h"
#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QSlider>
#include <set>

namespace mw::test {

class PreviewWindowTest : public QObject {
    Q_OBJECT

    // Art for item 1 (and 2 when asked) and the names of items 1 and the door.
    static std::string WriteArt(const TempFolder& folder, bool withItem2 = false) {
        const std::string art = folder.File("art");
        std::filesystem::create_directories(art);
        ArtRecords records{{1, EncodeStaticArt(SolidImage(44, 44, 0xFF208040))}};
        if (withItem2) records[2] = EncodeStaticArt(SolidImage(44, 60, 0xFF806020));
        WriteMulArt(art, records);
        folder.Write(
            "art/tiledata.mul",
            TileDataBytes({{1, {0, 0, "stone floor"}}, {0x675, {0, 0, "metal door"}}}, false));
        return art;
    }

    // Hut: a floor with art, a box without, the listed door and a floor high above the first.
    // Tower: one box. Wide: two floors too far apart for one picture. The main window is open,
    // and the art folder set (after the settings are loaded) when asked.
    struct Fixture : WindowFixture {
        explicit Fixture(bool withArt = false) {
            AddHousesSmall(
                {"1, 0, 0, 0, 1", "2, 1, 0, 0, 1", "1653, 0, 1, 0, 0", "1, 0, 0, 20, 1"});
            Sql("insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) values"
                " (1, 1, 1, 'Tower'), (2, 1, 1, 'Wide');"
                "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values"
                " (2, 0, 0, 0, 1, 2), (1, 0, 0, 0, 1, 3), (1, 400, 0, 0, 1, 3);");
            Open();
            if (withArt) session.ArtFolderPath = WriteArt(files);
        }
        TempFolder files;
    };

    static frmPreview& OpenPreview(Fixture& f, const QString& name) {
        f.Select(name);
        f.window->cmdPreview->click();
        frmPreview* preview = f.window->PreviewWindow();
        if (!preview) throw std::logic_error("no preview window");
        WaitDrawn(*preview);
        return *preview;
    }

    static void WaitDrawn(frmPreview& p) { QTRY_VERIFY_WITH_TIMEOUT(!p.Drawing(), 60000); }

    static std::set<size_t> Drawn(const frmPreview& p) {
        std::set<size_t> drawn;
        for (const PlacedComponent& placed : p.Picture()->Placed)
            drawn.insert(placed.Index);
        return drawn;
    }

    // Where a drawn component shows in the window: a point well inside its image.
    static QPointF OnScreen(const frmPreview& p, size_t index) {
        for (const PlacedComponent& placed : p.Picture()->Placed)
            if (placed.Index == index)
                return p.picPreview->FromPicture(QPointF(placed.Left + placed.Image->Width / 2.0,
                                                         placed.Top + placed.Image->Height / 3.0));
        throw std::logic_error("component not drawn");
    }

private slots:
    // Preview is there for templates only; its window follows the template selected, keeps the
    // last picture for a category, is raised rather than opened twice, and goes on after a
    // template too large to draw; a refill keeps it, and it closes with the template deleted.
    void theWindowFollowsTheSelectedTemplate() {
        Fixture f;
        frmWardstone& w = *f.window;
        QVERIFY(!w.cmdPreview->isEnabled());
        f.Select("Houses");
        QVERIFY(!w.cmdPreview->isEnabled());
        frmPreview& p = OpenPreview(f, "Hut");
        QCOMPARE(p.windowTitle(), QString("Preview - Hut"));
        QCOMPARE(Drawn(p), std::set<size_t>({0, 1, 2, 3}));

        f.Select("Tower");
        WaitDrawn(p);
        QCOMPARE(p.windowTitle(), QString("Preview - Tower"));
        QCOMPARE(Drawn(p), std::set<size_t>({0}));
        auto tower = p.Picture();
        f.Select("Small");
        QVERIFY(!w.cmdPreview->isEnabled());
        QVERIFY(!p.Drawing());
        QCOMPARE(p.Picture(), tower);

        f.Select("Wide");
        WaitDrawn(p);
        QVERIFY(!p.Picture());
        QVERIFY(p.lblStatus->text().contains(QString::number(err::PictureTooLarge)));
        QVERIFY(!p.cmdSaveImage->isEnabled());
        QVERIFY(f.prompts.Messages.empty());
        f.Select("Hut");
        w.cmdPreview->click();
        QCOMPARE(w.PreviewWindow(), &p);
        WaitDrawn(p);
        QCOMPARE(Drawn(p), std::set<size_t>({0, 1, 2, 3}));
        QVERIFY(p.cmdSaveImage->isEnabled());

        w.FillTemplatesList(); // keeps the selection, and the preview of it
        QVERIFY(w.cmdPreview->isEnabled() && p.isVisible());
        f.prompts.Answer({"Yes"});
        w.cmdDeleteTemplate_Click(); // a preview of a template that is gone closes
        QVERIFY(!p.isVisible() && !w.cmdPreview->isEnabled());
    }

    // The saved file holds exactly what the drawing's PNG writer gives for that template and
    // art; a file that cannot be written is told, and the window goes on.
    void saveImageWritesThePictureAsPng() {
        Fixture f(true);
        frmPreview& p = OpenPreview(f, "Hut");
        QVERIFY2(p.lblStatus->text().contains("2 components without art."),
                 qPrintable(p.lblStatus->text()));

        f.prompts.Answer({QString::fromStdString(f.files.File("hut.png"))});
        p.cmdSaveImage->click();
        PreviewSource source = OpenPreviewSource(PreviewArtFolder(f.session));
        const std::string expected =
            EncodePng(DrawPreview(PreviewComponents(f.session, 1), source.Art, {}).Image);
        QCOMPARE(ReadFile(f.files.File("hut.png")), expected);
        QVERIFY(f.prompts.Messages.empty());

        f.prompts.Answer({QString::fromStdString(f.files.File("no/such/folder/hut.png")),
                          QString::fromStdString(f.session.DatabasePath())});
        p.cmdSaveImage->click();
        QCOMPARE(f.prompts.Messages.size(), 1);
        p.cmdSaveImage->click(); // the library is never replaced
        QCOMPARE(f.prompts.Messages.size(), 2);
        f.Select("Tower");
        WaitDrawn(p);
        QCOMPARE(Drawn(p), std::set<size_t>({0}));
    }

    // The height slider leaves out what lies above it, the switch the listed parts; a view the
    // user zoomed keeps what lies where on screen although the picture is cropped anew.
    void heightAndListedPartsChangeWhatIsDrawn() {
        Fixture f;
        frmPreview& p = OpenPreview(f, "Hut");
        QCOMPARE(p.sldHeight->minimum(), 0);
        QCOMPARE(p.sldHeight->maximum(), 20);
        QCOMPARE(p.sldHeight->value(), 20);
        p.picPreview->ZoomBy(2);
        const QPointF floor = OnScreen(p, 0);
        const QPoint high = OnScreen(p, 3).toPoint();
        QVERIFY(p.picPreview->ToolTipAt(high).contains("z 20"));

        p.sldHeight->setValue(0);
        WaitDrawn(p);
        QCOMPARE(p.lblHeight->text(), QString("Show up to z: 0"));
        QCOMPARE(Drawn(p), std::set<size_t>({0, 1, 2}));
        QVERIFY((OnScreen(p, 0) - floor).manhattanLength() < 1e-6);
        QVERIFY(!p.picPreview->ToolTipAt(high).contains("z 20"));

        p.chkShowListed->click();
        WaitDrawn(p);
        QCOMPARE(Drawn(p), std::set<size_t>({0, 1}));
        p.sldHeight->setValue(20);
        WaitDrawn(p);
        QCOMPARE(Drawn(p), std::set<size_t>({0, 1, 3}));
        QVERIFY(!p.Options().MaxZ);
    }

    // The keys zoom and fit; the tooltip names the component under the pointer: its item id,
    // place, flag and tiledata name; nothing over the background.
    void theTooltipNamesTheComponentUnderThePointer() {
        Fixture f(true);
        frmPreview& p = OpenPreview(f, "Hut");
        const double fitted = p.picPreview->Zoom();
        QTest::keyClick(p.picPreview, Qt::Key_Plus);
        QTest::keyClick(p.picPreview, Qt::Key_Plus);
        QCOMPARE(p.picPreview->Zoom(), fitted * 1.5 * 1.5);
        QTest::keyClick(p.picPreview, Qt::Key_0);
        QVERIFY(p.picPreview->Fitted());
        p.picPreview->ZoomBy(3);
        for (const auto& [index, tip] : {std::pair{0, "0x0001 stone floor\nx 0, y 0, z 0, flag 1"},
                                         {2, "0x0675 metal door\nx 0, y 1, z 0, flag 0"},
                                         {1, "0x0002\nx 1, y 0, z 0, flag 1"}})
            QCOMPARE(p.picPreview->ToolTipAt(OnScreen(p, index).toPoint()), QString(tip));
        QVERIFY(p.picPreview->ToolTipAt(p.picPreview->FromPicture({1, 1}).toPoint()).isEmpty());
    }

    // The art folder takes effect while the settings are open, and closing them reads the art
    // afresh, also from the same folder.
    void theArtFollowsTheSettings() {
        Fixture f;
        frmWardstone& w = *f.window;
        frmPreview& p = OpenPreview(f, "Hut");
        QCOMPARE(p.Picture()->WithoutArt, 4);
        const std::string art = WriteArt(f.files);
        w.cmdSettings->click();
        w.SettingsDialog->txtArtFolder->setText(QString::fromStdString(art));
        WaitDrawn(p);
        QCOMPARE(p.Picture()->WithoutArt, 2);

        WriteArt(f.files, true);
        w.SettingsDialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        WaitDrawn(p);
        QCOMPARE(p.Picture()->WithoutArt, 1);
        QVERIFY2(p.lblStatus->text().contains("1 component without art."),
                 qPrintable(p.lblStatus->text()));

        // A tiledata.mul of no known size beside usable art is told, not silently drawn without.
        f.files.Write("art/tiledata.mul", std::string(1000, '\0'));
        p.ArtSettingsChanged(true);
        WaitDrawn(p);
        QCOMPARE(p.Picture()->WithoutArt, 1);
        QVERIFY2(p.lblStatus->text().contains("is not a tiledata.mul of a known layout"),
                 qPrintable(p.lblStatus->text()));
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::PreviewWindowTest)
#include "PreviewWindowTest.moc"
