// Import: a template read from one of the sources the "Import From" options choose, filed through
// the template info dialog.
#include "formats/TemplateText.h"
#include "library/ProgressFeedback.h"
#include "library/Prompts.h"
#include "library/WaitCursor.h"
#include "library/frmWardstone.h"

#include <QRadioButton>

namespace mw {

namespace {

struct FileSource {
    QRadioButton* Option;
    const char* Filter;
    const char* Title;
    frmWardstone::FileReaderFn Reader;
};

} // namespace

void frmWardstone::cmdImportTemplate_Click() {
    // Tested in this order; the first selected option is the source.
    const FileSource sources[] = {
        {optTxt, "Multi.txt files (*.txt)|*.txt", "Import Multi.txt file", ReadComponentList},
        {optKivT, "KivT Multi Templates (*.KivT)|*.KivT", "Import Kiv Multi Template",
         ReadComponentList},
    };
    for (const FileSource& source : sources) {
        if (!source.Option->isChecked()) continue;
        ImportFile(source.Filter, source.Title, source.Reader);
        break;
    }
    NewCategoryID.clear();
    NewSubsectID.clear();
    strNewDescription.clear();
}

void frmWardstone::ImportFile(const QString& filter, const QString& title, FileReaderFn reader) {
    QString path = prompts_.OpenFile(title, filter);
    if (path.isEmpty()) return;
    bool read;
    {
        WaitCursor wait;
        ProgressFeedback progress(this, "Reading " + path + "...");
        ClearComponentBuffer(session_.Buffer);
        read =
            reader(session_.Buffer, session_.Components, path.toStdString(), progress.Callback());
    }
    if (!read) {
        ShowReaderMessage();
        return;
    }
    if (FileNewTemplate()) SetStatus("Import Complete");
}

} // namespace mw
