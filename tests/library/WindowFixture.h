#pragma once

#include "TestLibrary.h"
#include "library/ScriptedPrompts.h"
#include "library/frmWardstone.h"

#include <QSettings>
#include <QStringList>
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

    frmWardstone& Open() {
        window = std::make_unique<frmWardstone>(session, prompts);
        initialized = window->Form_Initialize();
        return *window;
    }

    // The tree as text: one line per node, indented two blanks per level.
    QStringList Tree() const;

    TempFolder SettingsFolder;
    TestLibrary library;
    Session session{library.Folder.Path()};
    ScriptedPrompts prompts;
    std::unique_ptr<frmWardstone> window;
    bool initialized = false;
};

} // namespace mw::test
