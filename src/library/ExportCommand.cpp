// Export: the selected template in the format of the save dialog's filter, or a category, a
// subsection or the whole library as one batch of designs.
#include "app/DesignExport.h"
#include "library/frmWardstone.h"
#include "ui/ProgressFeedback.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QFileInfo>
#include <QStringList>
#include <QTreeWidget>
#include <algorithm>

namespace mw {

namespace {

// The save dialog's filters in the order of the formats, the template format first: the
// export's own, chosen when the dialog opens.
QString ExportFilters() {
    QStringList filters;
    for (const NamedExportFormat& named : ExportFormatNames())
        filters << named.Filter;
    return filters.join('|');
}

QString UoaFilter() {
    const auto& names = ExportFormatNames();
    return std::find_if(
               names.begin(), names.end(),
               [](const NamedExportFormat& named) { return named.Format == ExportFormat::Uoa; })
        ->Filter;
}

} // namespace

// The save dialog's path, with the chosen filter's extension when a new file's name ends in none
// of the extensions offered ("tower" becomes "tower.uoa"; "tower.txt" stays, as does a file that
// exists: the user chose it). The dialog asked only about the name as typed, so a file of the
// longer name is asked about here.
QString frmWardstone::ChooseExportPath(const QString& title, const QString& filter,
                                       const QString& kind, int& chosenFilter) {
    ChosenFile chosen = prompts_.ChooseSaveFile(title, filter, LastFolder(kind));
    chosenFilter = chosen.Filter;
    RememberFolder(kind, chosen.Path);
    const QString extension = FilterExtension(filter, chosen.Filter);
    const QFileInfo typed(chosen.Path);
    if (chosen.Path.isEmpty() || extension.isEmpty() || typed.exists() || typed.isSymLink())
        return chosen.Path;
    const int filters = static_cast<int>(filter.count('|') + 1) / 2;
    for (int i = 0; i < filters; ++i) {
        const QString offered = FilterExtension(filter, i);
        if (!offered.isEmpty() && chosen.Path.endsWith(offered, Qt::CaseInsensitive))
            return chosen.Path;
    }
    const QString path = chosen.Path + extension;
    const QFileInfo target(path);
    if ((target.exists() || target.isSymLink()) &&
        !prompts_.AskYesNo(target.fileName() + " already exists.\nDo you want to replace it?",
                           title, MessageIcon::Exclamation))
        return {};
    return path;
}

void frmWardstone::cmdExportTemplate_Click() {
    std::optional<std::int32_t> id = SelectedTemplateId();
    if (!id) {
        prompts_.Message("Select the template to export in the tree first.", ApplicationTitle,
                         MessageIcon::Exclamation);
        return;
    }
    int chosen = 0;
    QString path = ChooseExportPath("Export Template To", ExportFilters(), "Export", chosen);
    if (path.isEmpty()) return;
    const auto& formats = ExportFormatNames();
    const ExportFormat format =
        formats[std::min(static_cast<size_t>(std::max(chosen, 0)), formats.size() - 1)].Format;
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Writing " + path + "...");
        // The file is replaced only once the new one is complete: a failure keeps the old one.
        ExportTemplateFile(session_, *id, format, path.toStdString(), progress.Callback());
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled)
            prompts_.Message(ShownFailure(failure), ApplicationTitle, MessageIcon::Exclamation);
    }
    // A single export ends without a word: the file is where the user chose.
}

// The batch takes the node's templates by the names the tree shows, so that a category the tree
// joins from two of the same name goes whole.
void frmWardstone::mnuExportBatch_Click(QTreeWidgetItem* node) {
    while (node && node->parent() && node->parent()->parent())
        node = node->parent(); // a template goes with its subsection
    auto name = [](QTreeWidgetItem* named) {
        return named->data(0, NameRole).toByteArray().toStdString();
    };
    BatchSelection selection;
    if (node && node->parent()) {
        selection.Category = name(node->parent());
        selection.Subsection = name(node);
    } else if (node) {
        selection.Category = name(node);
    }
    int chosen = 0;
    QString path =
        ChooseExportPath("Export as a Batch of Designs", UoaFilter(), "ExportBatch", chosen);
    if (path.isEmpty()) return;
    std::int32_t written = 0;
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Writing " + path + "...");
        written = ExportBatchFile(session_, selection, path.toStdString(), progress.Callback());
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled)
            prompts_.Message(ShownFailure(failure), ApplicationTitle, MessageIcon::Exclamation);
        return;
    }
    SetStatus("Export Complete: " + DesignCount(written));
}

} // namespace mw
