#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace mw {

// Shows the generated scripts for copying; it does not block the main window and is reused.
class frmMultiScripts : public QWidget {
    Q_OBJECT
public:
    explicit frmMultiScripts(QWidget* owner);
    void ShowScripts(const QString& ScriptsText);

    QPlainTextEdit* txtScripts;
    QPushButton* OKButton;
};

} // namespace mw
