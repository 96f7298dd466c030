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
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
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

// Hands the first widget shown that `take` accepts to it, once; no polling and no time limit:
// a dialog that never opens leaves the test's own checks to fail.
class ShownWatch : public QObject {
public:
    explicit ShownWatch(std::function<bool(QObject*)> take) : take_(std::move(take)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && take_(watched)) {
            qApp->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    std::function<bool(QObject*)> take_;
};

// Runs the work on the next dialog of this type once the code under test has it open (in its
// own event loop, as a modal dialog runs). The watch ends itself once it has run; a test that
// expects no dialog deletes it.
template <class Dialog> QPointer<ShownWatch> WhenModal(std::function<void(Dialog&)> work) {
    return new ShownWatch([work](QObject* shown) {
        auto* dialog = qobject_cast<Dialog*>(shown);
        if (!dialog) return false;
        QMetaObject::invokeMethod(
            dialog, [dialog, work] { work(*dialog); }, Qt::QueuedConnection);
        return true;
    });
}

// Answers the template info dialog once it is open: a description, or Cancel when empty.
inline void FileAs(const QString& description) {
    WhenModal<frmTemplateInfo>([description](frmTemplateInfo& info) {
        info.txtDescription->setText(description);
        (description.isEmpty() ? info.cmdCancel : info.cmdOk)->click();
    });
}

} // namespace mw::test
