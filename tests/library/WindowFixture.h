#pragma once

#include "TestLibrary.h"
#include "library/ScriptedPrompts.h"
#include "library/frmWardstone.h"

#include <QApplication>
#include <QSettings>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace mw::test {

// A library in a folder of its own, the session over it and a main window with scripted prompts.
// Settings go to a folder of the test's own, never to the user's.
struct WindowFixture {
    WindowFixture() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(SettingsFolder.Path()));
        QSettings("MultiWardstone", "MultiWardstone").clear();
    }

    void Sql(const std::string& statements); // runs them on the library as one script
    // Category "Houses" with subsection "Small" and, when blocks are given ("item, x, y, z,
    // flag" each), the template "Hut" of them; components.txt lists the door 0675.
    void AddHousesSmall(const std::vector<std::string>& hutBlocks = {});

    frmWardstone& Open() {
        window = std::make_unique<frmWardstone>(session, prompts);
        initialized = window->Form_Initialize();
        return *window;
    }

    // The tree as text: one line per node, indented two blanks per level.
    QStringList Tree() const;
    // Clicks the tree node of this text.
    void Select(const QString& text) const;

    TempFolder SettingsFolder;
    TestLibrary library;
    Session session{library.Folder.Path()};
    ScriptedPrompts prompts;
    std::unique_ptr<frmWardstone> window;
    bool initialized = false;
};

// Runs the work on the modal dialog of this type as soon as the code under test has opened it;
// fails the test when none opens within two seconds.
template <class Dialog> void WhenModal(std::function<void(Dialog&)> work) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, work, tries = 0]() mutable {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog && ++tries < 400) return;
        poll->stop();
        poll->deleteLater();
        QVERIFY2(dialog, "the dialog did not open");
        work(*dialog);
    });
    poll->start(5);
}

} // namespace mw::test
