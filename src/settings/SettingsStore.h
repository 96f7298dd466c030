#pragma once

#include <QMap>
#include <QString>
#include <cstdint>
#include <optional>

class QSettings;

namespace mw {

// The settings kept between runs, under the sections "Files", "Settings" and "Folders". A value
// that is missing or does not convert is absent, so that loading leaves what it would have set as
// it was.
struct StoredSettings {
    QString MultiIdx, MultiMul, SphereFolder, MultiUop;
    QString ArtFolder;       // where the preview reads art; empty: beside the multi files
    QString MultiRecordSize; // "Auto", "12" or "16"
    std::optional<bool> OptWsc, OptTxt, OptMultiMuls, OptKivT, OptUox3, OptUop, OptUoa, OptCsv;
    std::optional<std::int16_t> ScriptFormat;
    std::optional<bool> BackUpGameFiles;
    std::optional<bool> PatchExisting; // replace a multi the user names instead of adding one
    QMap<QString, QString> Folders;    // the folder each kind of file dialog last chose, by kind
};

StoredSettings LoadStoredSettings(QSettings& store);
// Options are written as the words True and False, the script format in decimal.
void SaveStoredSettings(QSettings& store, const StoredSettings& settings);

// The text of an option as it is stored, and back: True/False in any case, or a number (0 false).
std::optional<bool> OptionFromText(const QString& text);

} // namespace mw
