// Import: a template read from one of the sources the "Import From" options choose, filed through
// the template info dialog.
#include "common/Files.h"
#include "common/OutputFile.h"
#include "formats/MultiExtraction.h"
#include "formats/TemplateText.h"
#include "formats/WorldSaves.h"
#include "library/frmWardstone.h"
#include "ui/ProgressFeedback.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QRadioButton>

namespace mw {

namespace {

struct FileSource {
    QRadioButton* Option;
    const char* Filter;
    const char* Title;
    frmWardstone::FileReaderFn Reader;
};

const QString AbortedText = "Template Import aborted";
const QString AbortedTitle = "Import was Aborted";

} // namespace

void frmWardstone::cmdImportTemplate_Click() {
    // Tested in this order; the first selected option is the source.
    const FileSource sources[] = {
        {optTxt, "Multi.txt files (*.txt)|*.txt", "Import Multi.txt file", ReadComponentList},
        {optUox3, "UOX3 Items.wsc file (*.wsc)|*.wsc", "Import UOX3 Items.wsc file", ReadUox3Wsc},
        {optKivT, "KivT Multi Templates (*.KivT)|*.KivT", "Import Kiv Multi Template",
         ReadComponentList},
        {optWsc, "Exported file from sphere (*.wsc)|*.wsc", "Import an exported wsc file",
         ReadSphereExportWsc},
    };
    bool chosen = false;
    for (const FileSource& source : sources) {
        if (!source.Option->isChecked()) continue;
        ImportFile(source.Filter, source.Title, source.Reader);
        chosen = true;
        break;
    }
    if (!chosen && optMultiMuls->isChecked()) ImportFromGameFiles(false);
    if (!chosen && optUop->isChecked()) ImportFromGameFiles(true);
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

// One multi of the game's files (multi.idx / multi.mul, or the package), by its hexadecimal id;
// filed before it is read.
void frmWardstone::ImportFromGameFiles(bool fromPackage) {
    if (!AskFiling()) {
        prompts_.Message(AbortedText, AbortedTitle, MessageIcon::None);
        return;
    }
    QString answer =
        prompts_.InputBox("Enter the multi ID you want to import from Inside UO (hexidecimal)",
                          "Enter the hexidecimal Multi ID you wish to Import");
    if (answer.isEmpty()) {
        prompts_.Message(AbortedText, AbortedTitle, MessageIcon::None);
        return;
    }
    std::uint32_t multiId;
    try {
        multiId = fromPackage ? PackageMultiId(answer.toStdString())
                              : static_cast<std::uint32_t>(MultiRecordNumber(answer.toStdString()));
    } catch (const RunError& failure) {
        prompts_.Message(AbortedText + ": " + QString::fromStdString(failure.Description),
                         AbortedTitle, MessageIcon::Exclamation);
        return;
    }
    std::string temporary = JoinPath(session_.AppFolder, "template.tmp");
    if (!ExtractToTemporaryFile(temporary, fromPackage, multiId)) return;
    bool read;
    {
        WaitCursor wait;
        read = ReadComponentList(session_.Buffer, session_.Components, temporary);
    }
    RemoveFile(temporary);
    if (!read) {
        ShowReaderMessage();
        return;
    }
    if (StoreBuffer()) SetStatus("Import Complete");
}

// Writes the multi as a template text file; false, with the user told why, when it did not.
// multiId is the package's multi id, or the multi.idx record number.
bool frmWardstone::ExtractToTemporaryFile(const std::string& path, bool fromPackage,
                                          std::uint32_t multiId) {
    if (FileExists(path) && !prompts_.AskYesNo("File exists. Do you wish to overwrite this file?",
                                               "File Already Exisits", MessageIcon::None)) {
        prompts_.Message("extraction canceled", "Action Canceled", MessageIcon::None);
        return false; // the old file is neither read, filed nor deleted
    }
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Reading the multi files...");
        if (fromPackage)
            WriteFileAtomically(
                path, PackageMultiAsText(session_.MultiUopPath, multiId, progress.Callback()));
        else
            ExtractMulti({session_.MultiIdxPath, session_.MultiMulPath},
                         static_cast<std::int32_t>(multiId), path, progress.Callback(),
                         session_.RecordSize);
        return true;
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled)
            prompts_.Message(FailureText(failure), "Error While Reading Multi Template File",
                             MessageIcon::Exclamation);
        return false;
    }
}

} // namespace mw
