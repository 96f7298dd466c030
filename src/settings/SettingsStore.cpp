#include "settings/SettingsStore.h"

#include "common/Convert.h"
#include "common/RunError.h"

#include <QSettings>

namespace mw {

namespace {

QString Text(QSettings& store, const char* key) {
    return store.value(key).toString();
}

std::optional<std::int16_t> IntegerFromText(const QString& text) {
    try {
        return ToInteger(text.toStdString());
    } catch (const RunError&) {
        return std::nullopt;
    }
}

void PutOption(QSettings& store, const char* key, const std::optional<bool>& value) {
    store.setValue(key, value.value_or(false) ? "True" : "False");
}

} // namespace

std::optional<bool> OptionFromText(const QString& text) {
    QString trimmed = text.trimmed();
    if (trimmed.compare("True", Qt::CaseInsensitive) == 0) return true;
    if (trimmed.compare("False", Qt::CaseInsensitive) == 0) return false;
    if (auto number = ParseNumber(trimmed.toStdString())) return *number != 0;
    return std::nullopt;
}

StoredSettings LoadStoredSettings(QSettings& store) {
    StoredSettings settings;
    settings.MultiIdx = Text(store, "Files/MultiIdx");
    settings.MultiMul = Text(store, "Files/MultiMul");
    settings.SphereFolder = Text(store, "Files/SphereFolder");
    settings.OptWsc = OptionFromText(Text(store, "Settings/OptWsc"));
    settings.OptTxt = OptionFromText(Text(store, "Settings/OptTxt"));
    settings.OptMultiMuls = OptionFromText(Text(store, "Settings/OptMultiMuls"));
    settings.OptKivT = OptionFromText(Text(store, "Settings/OptKivT"));
    settings.OptUox3 = OptionFromText(Text(store, "Settings/OptUox3"));
    settings.ScriptFormat = IntegerFromText(Text(store, "Settings/ScriptFormat"));
    settings.MultiUop = Text(store, "Files/MultiUop");
    settings.MultiRecordSize = Text(store, "Files/MultiRecordSize");
    settings.ArtFolder = Text(store, "Files/ArtFolder");
    settings.OptUop = OptionFromText(Text(store, "Settings/OptUop"));
    settings.OptUoa = OptionFromText(Text(store, "Settings/OptUoa"));
    settings.OptCsv = OptionFromText(Text(store, "Settings/OptCsv"));
    settings.BackUpGameFiles = OptionFromText(Text(store, "Settings/BackUpGameFiles"));
    settings.PatchExisting = OptionFromText(Text(store, "Settings/PatchExisting"));
    store.beginGroup("Folders");
    for (const QString& kind : store.childKeys())
        settings.Folders.insert(kind, store.value(kind).toString());
    store.endGroup();
    return settings;
}

void SaveStoredSettings(QSettings& store, const StoredSettings& settings) {
    store.setValue("Files/MultiIdx", settings.MultiIdx);
    store.setValue("Files/MultiMul", settings.MultiMul);
    store.setValue("Files/SphereFolder", settings.SphereFolder);
    PutOption(store, "Settings/OptWsc", settings.OptWsc);
    PutOption(store, "Settings/OptMultiMuls", settings.OptMultiMuls);
    PutOption(store, "Settings/OptTxt", settings.OptTxt);
    PutOption(store, "Settings/OptKivT", settings.OptKivT);
    store.setValue("Settings/ScriptFormat", QString::number(settings.ScriptFormat.value_or(0)));
    PutOption(store, "Settings/OptUox3", settings.OptUox3);
    store.setValue("Files/MultiUop", settings.MultiUop);
    store.setValue("Files/MultiRecordSize", settings.MultiRecordSize);
    store.setValue("Files/ArtFolder", settings.ArtFolder);
    PutOption(store, "Settings/OptUop", settings.OptUop);
    PutOption(store, "Settings/OptUoa", settings.OptUoa);
    PutOption(store, "Settings/OptCsv", settings.OptCsv);
    PutOption(store, "Settings/BackUpGameFiles", settings.BackUpGameFiles);
    PutOption(store, "Settings/PatchExisting", settings.PatchExisting);
    store.remove("Folders");
    for (auto folder = settings.Folders.begin(); folder != settings.Folders.end(); ++folder)
        store.setValue("Folders/" + folder.key(), folder.value());
    store.sync();
}

} // namespace mw
