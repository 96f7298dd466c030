#pragma once

#include "TestLibrary.h"
#include "library/ScriptedPrompts.h"
#include "library/frmTemplateInfo.h"
#include "library/frmWardstone.h"

// Also the widgets that the window tests drive, so that each test need not name them.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <memory>

namespace mw::test {

// The tree as text: one line per node, indented two blanks per level.
QStringList TreeText(QTreeWidget* tree);

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
        window->Form_Initialize();
        return *window;
    }

    QStringList Tree() const { return TreeText(window->trvTemplates); }
    // Clicks the tree node of this text.
    void Select(const QString& text) const;
    QString LastMessage() const { return prompts.Messages.value(prompts.Messages.size() - 1); }

    TempFolder SettingsFolder;
    TestLibrary library;
    Session session{library.Folder.Path()};
    ScriptedPrompts prompts;
    std::unique_ptr<frmWardstone> window;
};

// Runs a test in a folder of its own as the process's current folder, and goes back afterwards.
struct InFolder {
    explicit InFolder(const std::string& folder) {
        QDir::setCurrent(QString::fromStdString(folder));
    }
    ~InFolder() { QDir::setCurrent(was); }
    const QString was = QDir::currentPath();
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

// Answers the template info dialog once it is open: a description, or Cancel when empty.
inline void FileAs(const QString& description) {
    WhenModal<frmTemplateInfo>([description](frmTemplateInfo& info) {
        info.txtDescription->setText(description);
        (description.isEmpty() ? info.cmdCancel : info.cmdOk)->click();
    });
}

} // namespace mw::test
