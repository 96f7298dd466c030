#include "scripts/frmScriptsEntry.h"

#include "app/PatchAndScripts.h"

#include "ui/CentreOnScreen.h"
#include "ui/Guarded.h"
#include "ui/NamedControls.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace mw {

namespace {

QLineEdit* Box(const QString& name, const QString& tooltip) {
    auto* box = Named<QLineEdit>(name);
    box->setToolTip(tooltip);
    return box;
}

} // namespace

frmScriptsEntry::frmScriptsEntry(Session& session, Prompts& prompts, std::int16_t ScriptFormat,
                                 ShowScripts show, QWidget* parent)
    : QDialog(parent), session_(session), prompts_(prompts), ScriptFormat_(ScriptFormat),
      show_(std::move(show)) {
    setObjectName("frmScriptsEntry");
    setWindowTitle("Sphere Scripts Input");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    txtMultiName = Box("txtMultiName", "Enter a name");
    txtBuyValue = Box("txtBuyValue", "Price that the vendor will sell the deed for");
    txtSellValue = Box("txtSellValue", "Price the vendor will pay for the deed");
    cmdOk = Named<QPushButton>("cmdOk", "OK");
    cmdOk->setEnabled(false);
    auto* frame = Named<QGroupBox>("Frame1", "Script Details");
    auto* rows = new QGridLayout(frame);
    rows->addWidget(new QLabel("Multi Name"), 0, 0);
    rows->addWidget(txtMultiName, 0, 1);
    rows->addWidget(new QLabel("Buy Value"), 1, 0);
    rows->addWidget(txtBuyValue, 1, 1);
    auto* sellLabel = new QLabel("Sell Value");
    rows->addWidget(sellLabel, 2, 0);
    rows->addWidget(txtSellValue, 2, 1);
    if (!UsesSellValue(ScriptFormat_)) {
        sellLabel->hide();
        txtSellValue->hide();
    }
    rows->setColumnMinimumWidth(1, 200);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(cmdOk, 0, Qt::AlignBottom);
    setTabOrder(txtMultiName, txtBuyValue);
    setTabOrder(txtBuyValue, txtSellValue);
    // The dialog sees every key before its boxes do.
    for (QWidget* control :
         std::initializer_list<QWidget*>{txtMultiName, txtBuyValue, txtSellValue, cmdOk})
        control->installEventFilter(this);
    connect(cmdOk, &QPushButton::clicked, this, Guarded(prompts_, this, &QWidget::close));
    setFixedSize(sizeHint());
    CentreOnScreen(*this);
}

// OK follows the boxes as they stand when a key arrives, before the key has changed them.
bool frmScriptsEntry::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress)
        cmdOk->setEnabled(!txtMultiName->text().isEmpty() && !txtBuyValue->text().isEmpty() &&
                          (!UsesSellValue(ScriptFormat_) || !txtSellValue->text().isEmpty()));
    return QDialog::eventFilter(watched, event);
}

void frmScriptsEntry::closeEvent(QCloseEvent* event) {
    if (!confirmed_ && !cmdOk->isEnabled()) {
        event->ignore(); // the only way out is to confirm
        return;
    }
    event->accept();
    if (!confirmed_) {
        confirmed_ = true;
        Confirm();
    }
    done(Accepted);
}

void frmScriptsEntry::reject() {
    close();
}

void frmScriptsEntry::Confirm() {
    ScriptEntry entry{txtMultiName->text().trimmed().toStdString(),
                      txtBuyValue->text().trimmed().toStdString(),
                      txtSellValue->text().trimmed().toStdString()};
    hide();
    // Also reached from the close box, which no connection guards.
    RunGuarded(prompts_, [this, &entry] {
        QString text;
        {
            WaitCursor wait;
            text = QString::fromStdString(ScriptsForLastPatch(session_, ScriptFormat_, entry));
        }
        show_(text);
    });
}

} // namespace mw
