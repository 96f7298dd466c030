#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mw {

class Prompts;
class RunError;

// Picks a folder, the Sphere server's or the art's: a list of drives (on Linux the mount points a
// user would pick from, the root and the home folder first) and a tree of the folders on them.
// Both start at the folder given, else at the process's current folder. A drive or folder that
// cannot be read leaves the lists as they were and is reported. Accepted by "&Ok": ChosenFolder()
// then holds the folder the tree shows open.
class FrmLocateFolder : public QDialog {
    Q_OBJECT
public:
    FrmLocateFolder(Prompts& prompts, QWidget* parent = nullptr, const QString& startFolder = {});

    // The folder chosen in the tree, absolute, without a closing separator (bar the root).
    QString Path() const;
    // What "&Ok" gives: the chosen folder with its closing separator.
    QString ChosenFolder() const;

    // Event handlers; public so that tests can drive them as the events would.
    void Drive1_Change(int index);
    void Dir1_Change(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void Dir1_Expand(QTreeWidgetItem* item);
    void cmdOk_Click();
    void cmdCancel_Click();

    QComboBox* Drive1;
    QTreeWidget* Dir1;
    QPushButton *cmdOk, *cmdCancel;

private:
    void BuildControls();
    void ConnectControls();
    void FillDrives();
    void OpenFolder(const std::string& folder); // throws RunError when it cannot be read
    void ShowChain(const std::vector<std::string>& chain,
                   const std::vector<std::vector<std::string>>& listings);
    void AddChildren(QTreeWidgetItem* item, const std::vector<std::string>& names);
    bool ReadChildren(QTreeWidgetItem* item);
    void SelectDriveOf(const std::string& folder);
    void TellUnreadable(const RunError& failure);

    Prompts& prompts_;
    int driveIndex_ = -1; // the drive shown, to go back to when another cannot be read
};

// folder with exactly one closing separator; a drive root of a platform with drives keeps the
// doubled separator that stored folder texts always had.
QString WithClosingSeparator(const QString& folder);

} // namespace mw
