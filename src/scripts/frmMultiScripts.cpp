#include "scripts/frmMultiScripts.h"

#include "ui/CentreOnScreen.h"
#include "ui/Guarded.h"
#include "ui/NamedControls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace mw {

frmMultiScripts::frmMultiScripts(QWidget* owner, Prompts& prompts) : QWidget(owner, Qt::Window) {
    setObjectName("frmMultiScripts");
    setWindowTitle("Multi & Deed Scripts");
    setAttribute(Qt::WA_DeleteOnClose);
    txtScripts = Named<QPlainTextEdit>("txtScripts");
    txtScripts->setReadOnly(true);
    txtScripts->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtScripts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtScripts->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtScripts->setFont(QFont("Times New Roman", 11));
    txtScripts->setMinimumSize(520, 420);
    OKButton = Named<QPushButton>("OKButton", "&Close");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtScripts);
    layout->addWidget(new QLabel("Copy these scripts to your sphereitems2.scp"));
    layout->addWidget(OKButton, 0, Qt::AlignRight);
    connect(OKButton, &QPushButton::clicked, this, Guarded(prompts, this, &QWidget::close));
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
}

void frmMultiScripts::ShowScripts(const QString& ScriptsText) {
    txtScripts->setPlainText(ScriptsText);
    txtScripts->repaint();
    if (!isVisible() && parentWidget()) CentreOver(*this, *parentWidget()); // where the user looks
    show();
    raise();
}

} // namespace mw
