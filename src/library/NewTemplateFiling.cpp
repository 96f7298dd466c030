// Filing a new template: the template info dialog asks where, then the buffer is stored there.
#include "library/frmTemplateInfo.h"
#include "library/frmWardstone.h"
#include "store/SaveNewTemplate.h"
#include "ui/ProgressFeedback.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

namespace mw {

void frmWardstone::ShowReaderMessage() {
    const ReaderMessage& why = session_.Buffer.LastReadMessage;
    if (!why.Title.empty())
        prompts_.Message(QString::fromStdString(why.Text), QString::fromStdString(why.Title),
                         MessageIcon::Exclamation);
}

bool frmWardstone::AskFiling(const DesignLabels& proposed) {
    frmTemplateInfo info(*this, proposed);
    info.exec();
    return !blnCancelAdd;
}

bool frmWardstone::StoreBuffer() {
    std::int32_t stored;
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Storing the template...");
        NewTemplateFields fields{NewCategoryID.toStdString(), NewSubsectID.toStdString(),
                                 strNewDescription.toStdString()};
        stored =
            SaveNewTemplate(session_.cnTemplates, session_.Buffer, fields, progress.Callback());
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled) ShowFailure(failure); // a cancel stores nothing
        return false;
    }
    FillTemplatesList(stored); // the user sees where it went
    return true;
}

bool frmWardstone::FileNewTemplate(const DesignLabels& proposed) {
    return AskFiling(proposed) && StoreBuffer();
}

} // namespace mw
