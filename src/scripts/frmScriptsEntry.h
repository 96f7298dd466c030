#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

class QLineEdit;
class QPushButton;

namespace mw {

class Prompts;
struct Session;

// Asks for the new multi's name and prices after a patch, then shows its scripts. It has no
// Cancel: the only way out is to confirm, which OK allows once every box shown holds something
// (the sell value is hidden for a format that does not use it).
class frmScriptsEntry : public QDialog {
    Q_OBJECT
public:
    using ShowScripts = std::function<void(const QString& scripts)>;
    // The scripts are made in ScriptFormat from the session's last patch and handed to `show`.
    frmScriptsEntry(Session& session, Prompts& prompts, std::int16_t ScriptFormat, ShowScripts show,
                    QWidget* parent);

    QLineEdit *txtMultiName, *txtBuyValue, *txtSellValue;
    QPushButton* cmdOk;

public slots:
    void reject() override; // Escape counts as the close box

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Confirm();

    Session& session_;
    Prompts& prompts_;
    std::int16_t ScriptFormat_;
    ShowScripts show_;
    bool confirmed_ = false;
};

} // namespace mw
