#include "settings/SettingsStore.h"
#include "TestLibrary.h"

#include <QSettings>
#include <QTest>

namespace mw::test {

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void firstRunLeavesEverythingAsDesigned() {
        TempFolder folder;
        QSettings store(QString::fromStdString(folder.File("s.conf")), QSettings::IniFormat);
        StoredSettings loaded = LoadStoredSettings(store);
        QVERIFY(loaded.MultiIdx.isEmpty());
        QVERIFY(!loaded.OptKivT && !loaded.OptTxt && !loaded.ScriptFormat);
    }

    void valuesThatDoNotConvertAreSkippedAndTheRestLoads() {
        TempFolder folder;
        QSettings store(QString::fromStdString(folder.File("s.conf")), QSettings::IniFormat);
        store.setValue("Settings/OptTxt", "true");
        store.setValue("Settings/OptWsc", "0");
        store.setValue("Settings/OptKivT", "yes please");
        store.setValue("Settings/ScriptFormat", "new");
        store.setValue("Settings/OptUox3", "False");
        StoredSettings loaded = LoadStoredSettings(store);
        QCOMPARE(loaded.OptTxt, std::optional<bool>(true));
        QCOMPARE(loaded.OptWsc, std::optional<bool>(false));
        QVERIFY(!loaded.OptKivT);
        QVERIFY(!loaded.ScriptFormat);
        QCOMPARE(loaded.OptUox3, std::optional<bool>(false));
        store.setValue("Settings/ScriptFormat", "70000");
        QVERIFY(!LoadStoredSettings(store).ScriptFormat);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::SettingsStoreTest)
#include "SettingsStoreTest.moc"
