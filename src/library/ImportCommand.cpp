// Import: a template read from one of the sources the "Import From" options choose, filed through
// the template info dialog; or a batch of designs, each filed under its own labels.
#include "app/DesignImport.h"
#include "app/Failures.h"
#include "app/ImportSources.h"
#include "common/Files.h"
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
    ImportSource Source;
};

const QString AbortedText = "Template Import aborted";
const QString AbortedTitle = "Import was Aborted";
const QString ReadingTitle = "Error While Reading Multi Template File";

} // namespace

void frmWardstone::cmdImportTemplate_Click() {
    // Tested in this order; the first selected option is the source.
    const FileSource sources[] = {
        {optTxt, "Multi.txt files (*.txt)|*.txt", "Import Multi.txt file", ImportSource::Txt},
        {optUox3, "UOX3 Items.wsc file (*.wsc)|*.wsc", "Import UOX3 Items.wsc file",
         ImportSource::Uox3},
        {optKivT, "KivT Multi Templates (*.KivT)|*.KivT", "Import Kiv Multi Template",
         ImportSource::KivT},
        {optWsc, "Exported file from sphere (*.wsc)|*.wsc", "Import an exported wsc file",
         ImportSource::SphereWsc},
        {optUoa, "UO Architect designs (*.uoa)|*.uoa", "Import UO Architect designs",
         ImportSource::Uoa},
        // The second filter reads the plain list.
        {optCsv, "Tile list CSV (*.csv)|*.csv|Tile list (*.txt)|*.txt", "Import a tile list",
         ImportSource::TileCsv},
    };
    bool chosen = false;
    for (const FileSource& source : sources) {
        if (!source.Option->isChecked()) continue;
        ImportFile(source.Filter, source.Title, source.Source,
                   "Import" + source.Option->objectName().mid(3)); // "ImportKivT"
        chosen = true;
        break;
    }
    if (!chosen && optMultiMuls->isChecked()) ImportFromGameFiles(false);
    if (!chosen && optUop->isChecked()) ImportFromGameFiles(true);
    NewCategoryID.clear();
    NewSubsectID.clear();
    strNewDescription.clear();
}

void frmWardstone::ImportFile(const QString& filter, const QString& title, ImportSource source,
                              const QString& kind) {
    ChosenFile chosen = prompts_.ChooseOpenFile(title, filter, LastFolder(kind));
    if (chosen.Path.isEmpty()) return;
    RememberFolder(kind, chosen.Path);
    const QString& path = chosen.Path;
    if (source == ImportSource::TileCsv && chosen.Filter == 1) source = ImportSource::TileList;
    if (source == ImportSource::Uoa) {
        ImportDesignFile(path);
        return;
    }
    DesignLabels labels;
    bool read;
    {
        WaitCursor wait;
        ProgressFeedback progress(this, "Reading " + path + "...");
        ClearComponentBuffer(session_.Buffer);
        read = ReadImportDesign(session_, source, path.toStdString(), labels, progress.Callback());
    }
    if (!read) {
        ShowReaderMessage();
        return;
    }
    if (FileNewTemplate(labels)) SetStatus("Import Complete");
}

// A design file is read whole once: its version tells a single design, filed as any import with
// its own labels proposed, from a batch.
void frmWardstone::ImportDesignFile(const QString& path) {
    DesignBatch batch;
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Reading " + path + "...");
        batch = ParseDesignBatch(path.toStdString(), progress.Callback());
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled)
            prompts_.Message(ShownFailure(failure), InvalidUoaTitle, MessageIcon::Exclamation);
        return;
    }
    if (batch.IsBatch()) {
        ImportDesignBatch(batch);
        return;
    }
    LoadDesign(session_, batch.Designs.front());
    if (FileNewTemplate(LabelsOf(batch.Designs.front()))) SetStatus("Import Complete");
}

// Every design under its own category and subsection, made when missing, after one question
// that says where they go; all of them or, on a failure or a cancel, none.
void frmWardstone::ImportDesignBatch(const DesignBatch& batch) {
    const QString summary =
        QString::fromStdString(BatchSummaryText(SummariseBatch(session_, batch)));
    if (!prompts_.AskYesNo(summary + "\nImport them?", "Import a Batch of Designs",
                           MessageIcon::Information))
        return;
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Storing " + DesignCount(batch.Designs.size()) + "...");
        StoreDesignBatch(session_, batch, progress.Callback());
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled) ShowFailure(failure);
        return;
    }
    FillTemplatesList();
    SetStatus("Import Complete: " + DesignCount(batch.Designs.size()));
}

// One multi of the game's files (multi.idx / multi.mul, or the package), by its hexadecimal id;
// filed before it is read, and template.tmp asked about once the game files were read.
void frmWardstone::ImportFromGameFiles(bool fromPackage) {
    if (fromPackage && session_.MultiUopPath.empty()) {
        prompts_.Message(AbortedText + ": no MultiCollection.uop is set; choose it under Settings.",
                         AbortedTitle, MessageIcon::Exclamation);
        return;
    }
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
    GameMulti multi;
    try {
        multi = ParseGameMulti(fromPackage, answer.toStdString());
    } catch (const RunError& failure) {
        prompts_.Message(AbortedText + ": " + QString::fromStdString(failure.Description),
                         AbortedTitle, MessageIcon::Exclamation);
        return;
    }
    std::string text;
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Reading the multi files...");
        text = GameMultiText(session_, multi, progress.Callback());
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled)
            prompts_.Message(ShownFailure(failure), ReadingTitle, MessageIcon::Exclamation);
        return;
    }
    std::string temporary = JoinPath(session_.AppFolder, "template.tmp");
    if (FileExists(temporary) &&
        !prompts_.AskYesNo("File exists. Do you wish to overwrite this file?",
                           "File Already Exisits", MessageIcon::None)) {
        prompts_.Message("extraction canceled", "Action Canceled", MessageIcon::None);
        return; // the old file is neither read, filed nor deleted
    }
    bool read;
    try {
        read = ReadGameMultiText(session_, text, temporary);
    } catch (const RunError& failure) {
        prompts_.Message(ShownFailure(failure), ReadingTitle, MessageIcon::Exclamation);
        return;
    }
    if (!read) {
        ShowReaderMessage();
        return;
    }
    if (StoreBuffer()) SetStatus("Import Complete");
}

} // namespace mw
