#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace mw {

class frmWardstone;

// Asks for the new multi's name and prices after a patch, then shows its scripts. It has no
// Cancel: the only way out is to confirm, which OK allows once all three boxes hold something.
class frmScriptsEntry : public QDialog {
    Q_OBJECT
public:
    explicit frmScriptsEntry(frmWardstone& main);

    QLineEdit *txtMultiName, *txtBuyValue, *txtSellValue;
    QPushButton* cmdOk;

public slots:
    void reject() override; // Escape counts as the close box

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Confirm();

    frmWardstone& main_;
    bool confirmed_ = false;
};

} // namespace mw
