#pragma once

#include "app/DesignImport.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace mw {

class frmWardstone;

// Files a new template: its category, subsection and description, with new categories and
// subsections created on the spot. The choice goes back through the main window's fields
// NewCategoryID, NewSubsectID, strNewDescription and blnCancelAdd.
// A design file's own labels are proposed: a category or subsection the library has is chosen,
// one it lacks is offered as a new entry that is made only when the user confirms it.
class frmTemplateInfo : public QDialog {
    Q_OBJECT
public:
    explicit frmTemplateInfo(frmWardstone& main, const DesignLabels& proposed = {});

    void FillCategories();
    void FillSubSections();

    QComboBox* cboCategory;
    QComboBox* cboSubSection;
    QLineEdit* txtDescription;
    QPushButton *cmdNewCategory, *cmdNewSubSection, *cmdOk, *cmdCancel;

public slots:
    void reject() override; // Escape: Cancel

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void SetOkButton();
    void cboCategory_Click();
    void cboSubSection_Click();
    void cmdNewCategory_Click();
    void cmdNewSubSection_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    bool Form_QueryUnload();
    void SelectCategory(int index);
    bool IsProposedCategory() const;
    void MakeProposedCategory();
    void MakeProposedEntries();

    frmWardstone& main_;
    const DesignLabels proposed_;
    QString categoryTag_, subsectionTag_; // the selected entries' ids as decimal text
    bool blnCancelPressed = false;
    bool closing_ = false;
};

} // namespace mw
