#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace mw {

class Prompts;

// Shows the generated scripts for copying; it does not block the main window and is reused.
class frmMultiScripts : public QWidget {
    Q_OBJECT
public:
    frmMultiScripts(QWidget* owner, Prompts& prompts); // prompts: where its failures are shown
    void ShowScripts(const QString& ScriptsText);

    QPlainTextEdit* txtScripts;
    QPushButton* OKButton;
};

} // namespace mw
