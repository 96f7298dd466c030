#include "library/frmTemplateInfo.h"

#include "library/frmWardstone.h"
#include "store/Filing.h"
#include "ui/CentreOnScreen.h"
#include "ui/Guarded.h"
#include "ui/NamedControls.h"
#include "ui/Prompts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace mw {

namespace {
constexpr int NotYetMade = -1; // the id of a proposed entry the library does not have yet

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

frmTemplateInfo::frmTemplateInfo(frmWardstone& main, const DesignLabels& proposed)
    : QDialog(&main), main_(main), proposed_(proposed) {
    setObjectName("frmTemplateInfo");
    setWindowTitle("Template General Categories");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    blnCancelPressed = false;
    FillCategories();
    if (!proposed_.Category.empty())
        SelectCategory(cboCategory->findText(FromStd(proposed_.Category)));
    txtDescription->setText(FromStd(proposed_.Name));
    SetOkButton();
    setFixedSize(sizeHint());
    CentreOnScreen(*this);
}

void frmTemplateInfo::BuildControls() {
    cboCategory = Named<QComboBox>("cboCategory");
    cboSubSection = Named<QComboBox>("cboSubSection");
    txtDescription = Named<QLineEdit>("txtDescription");
    cmdNewCategory = DialogButton("cmdNewCategory", "Add New");
    cmdNewSubSection = DialogButton("cmdNewSubSection", "Add New");
    cmdOk = DialogButton("cmdOk", "OK");
    cmdCancel = DialogButton("cmdCancel", "Cancel");
    cmdOk->setEnabled(false);
    cmdOk->setDefault(true); // Enter presses OK, while it is enabled

    auto* frame = Named<QGroupBox>("Frame1", "Template Info");
    auto* rows = new QGridLayout(frame);
    rows->addWidget(Named<QLabel>("Label2", "Category"), 0, 0);
    rows->addWidget(cboCategory, 0, 1);
    rows->addWidget(cmdNewCategory, 0, 2);
    rows->addWidget(Named<QLabel>("Label3", "Sub Section"), 1, 0);
    rows->addWidget(cboSubSection, 1, 1);
    rows->addWidget(cmdNewSubSection, 1, 2);
    rows->addWidget(Named<QLabel>("Label4", "Description"), 2, 0);
    rows->addWidget(txtDescription, 2, 1, 1, 2);
    rows->setColumnMinimumWidth(1, 220);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    Prompts& prompts = main_.prompts();
    auto guarded = [this, &prompts](auto handler) { return Guarded(prompts, this, handler); };
    connect(cboCategory, &QComboBox::activated, this, guarded(&frmTemplateInfo::cboCategory_Click));
    connect(cboSubSection, &QComboBox::activated, this,
            guarded(&frmTemplateInfo::cboSubSection_Click));
    connect(txtDescription, &QLineEdit::textChanged, this, guarded(&frmTemplateInfo::SetOkButton));
    connect(cmdNewCategory, &QPushButton::clicked, this,
            guarded(&frmTemplateInfo::cmdNewCategory_Click));
    connect(cmdNewSubSection, &QPushButton::clicked, this,
            guarded(&frmTemplateInfo::cmdNewSubSection_Click));
    connect(cmdOk, &QPushButton::clicked, this, guarded(&frmTemplateInfo::cmdOk_Click));
    connect(cmdCancel, &QPushButton::clicked, this, guarded(&frmTemplateInfo::cmdCancel_Click));
}

void frmTemplateInfo::FillCategories() {
    CCategory& categories = main_.Category;
    std::int32_t n = categories.RecordCount();
    if (n > 0) categories.Unfilter();
    const QSignalBlocker quiet(cboCategory);
    cboCategory->clear();
    for (std::int32_t i = 0; i < n; ++i, categories.MoveNext())
        cboCategory->addItem(QString::fromStdString(categories.Name()), categories.CategoryID());
    const QString proposed = FromStd(proposed_.Category);
    if (!proposed.isEmpty() && cboCategory->findText(proposed) < 0)
        cboCategory->addItem(proposed, NotYetMade);
    if (cboCategory->count() > 0) {
        SelectCategory(0);
        categories.Unfilter();
    }
    cmdNewSubSection->setEnabled(cboCategory->count() > 0); // a subsection needs a category
}

void frmTemplateInfo::SelectCategory(int index) {
    cboCategory->setCurrentIndex(index);
    cboCategory_Click();
}

void frmTemplateInfo::cboCategory_Click() {
    categoryTag_ = QString::number(cboCategory->currentData().toInt());
    FillSubSections();
    if (cboSubSection->count() > 0) {
        const int proposed =
            IsProposedCategory() ? cboSubSection->findText(FromStd(proposed_.Subsection)) : -1;
        cboSubSection->setCurrentIndex(std::max(proposed, 0));
        cboSubSection_Click();
    }
    SetOkButton();
}

void frmTemplateInfo::FillSubSections() {
    CSubSection& subsections = main_.SubSection;
    subsections.Filter("CategoryID='" + categoryTag_.toStdString() + "'");
    std::int32_t n = subsections.RecordCount();
    const QSignalBlocker quiet(cboSubSection);
    cboSubSection->clear();
    cboSubSection->setCurrentIndex(-1);
    for (std::int32_t i = 0; i < n; ++i, subsections.MoveNext())
        cboSubSection->addItem(QString::fromStdString(subsections.Name()), subsections.SubsectID());
    const QString proposed = FromStd(proposed_.Subsection);
    if (IsProposedCategory() && !proposed.isEmpty() && cboSubSection->findText(proposed) < 0)
        cboSubSection->addItem(proposed, NotYetMade);
    cboSubSection->setCurrentIndex(-1);
    subsectionTag_.clear();
    subsections.Unfilter();
}

// The proposed subsection is offered under the proposed category only, where the file puts it.
bool frmTemplateInfo::IsProposedCategory() const {
    return !proposed_.Category.empty() && cboCategory->currentText() == FromStd(proposed_.Category);
}

// Makes the proposed category, and subsection, when chosen, now that they are needed; an entry
// made takes its id at once, so that a failure after it never makes it twice.
void frmTemplateInfo::MakeProposedCategory() {
    if (cboCategory->currentData().toInt() != NotYetMade) return;
    std::int32_t id = AddCategory(main_.Category, cboCategory->currentText().toStdString());
    cboCategory->setItemData(cboCategory->currentIndex(), id);
    categoryTag_ = QString::number(id);
}

void frmTemplateInfo::MakeProposedEntries() {
    MakeProposedCategory();
    if (cboSubSection->count() > 0 && cboSubSection->currentData().toInt() == NotYetMade) {
        std::int32_t id = AddSubSection(main_.SubSection, categoryTag_.toInt(),
                                        cboSubSection->currentText().toStdString());
        cboSubSection->setItemData(cboSubSection->currentIndex(), id);
        subsectionTag_ = QString::number(id);
    }
}

void frmTemplateInfo::cboSubSection_Click() {
    subsectionTag_ = QString::number(cboSubSection->currentData().toInt());
    SetOkButton();
}

void frmTemplateInfo::SetOkButton() {
    cmdOk->setEnabled(!cboCategory->currentText().trimmed().isEmpty() &&
                      !cboSubSection->currentText().trimmed().isEmpty() &&
                      !txtDescription->text().trimmed().isEmpty());
}

void frmTemplateInfo::cmdNewCategory_Click() {
    QString name = main_.prompts().InputBox("Enter the new Category Name", "Add New Category");
    if (name.isEmpty()) return;
    std::int32_t id;
    try {
        id = AddCategory(main_.Category, name.toStdString());
    } catch (const RunError& failure) {
        main_.ShowFailure(failure); // the lists stay as they were
        return;
    }
    FillCategories();
    FillSubSections();
    SelectCategory(cboCategory->findData(id));
}

void frmTemplateInfo::cmdNewSubSection_Click() {
    if (cboCategory->count() == 0) return;
    QString name = main_.prompts().InputBox("Enter the new SubSection Name", "Add New SubSection");
    if (name.isEmpty()) return;
    std::int32_t id;
    try {
        MakeProposedCategory(); // a subsection needs a category
        id = AddSubSection(main_.SubSection, categoryTag_.toInt(), name.toStdString());
    } catch (const RunError& failure) {
        main_.ShowFailure(failure);
        return;
    }
    FillSubSections();
    cboSubSection->setCurrentIndex(cboSubSection->findData(id));
    cboSubSection_Click();
}

void frmTemplateInfo::cmdOk_Click() {
    close();
}

void frmTemplateInfo::cmdCancel_Click() {
    blnCancelPressed = true;
    close();
}

// Decides every way of closing: Cancel, OK, the close box and Escape.
bool frmTemplateInfo::Form_QueryUnload() {
    if (blnCancelPressed) {
        main_.blnCancelAdd = true;
        return true;
    }
    if (cmdOk->isEnabled()) {
        try {
            MakeProposedEntries();
        } catch (const RunError& failure) {
            main_.ShowFailure(failure); // the dialog stays open: the user may choose otherwise
            return false;
        }
        main_.blnCancelAdd = false;
        main_.NewCategoryID = categoryTag_.trimmed();
        main_.NewSubsectID = subsectionTag_.trimmed();
        main_.strNewDescription = txtDescription->text().trimmed();
        return true;
    }
    main_.prompts().Message("Press the cancel button to cancel", "Invalid Selection",
                            MessageIcon::None);
    return false;
}

void frmTemplateInfo::closeEvent(QCloseEvent* event) {
    if (closing_ || Form_QueryUnload()) {
        closing_ = true;
        event->accept();
        done(main_.blnCancelAdd ? Rejected : Accepted);
    } else {
        event->ignore();
    }
}

// Escape cancels, whatever the entries: only OK or the close box may file the template.
void frmTemplateInfo::reject() {
    cmdCancel_Click();
}

} // namespace mw
