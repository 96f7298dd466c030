#include "settings/FrmLocateFolder.h"

#include "app/Failures.h"
#include "common/RunError.h"
#include "settings/FolderListing.h"
#include "ui/CentreOnScreen.h"
#include "ui/Guarded.h"
#include "ui/NamedControls.h"
#include "ui/Prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mw {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int ReadRole = Qt::UserRole + 1; // the folders below it are in the tree

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

std::string PathOf(const QTreeWidgetItem* item) {
    return item->data(0, PathRole).toString().toStdString();
}

QTreeWidgetItem* FolderItem(const std::string& name, const std::string& path) {
    auto* item = new QTreeWidgetItem(QStringList{FromStd(name)});
    item->setData(0, PathRole, FromStd(path));
    item->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_DirIcon));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator); // unknown until it is read
    return item;
}

// The folder and every folder above it, from the root down: "/srv/uo" gives "/", "/srv", "/srv/uo".
std::vector<std::string> ChainTo(const std::string& folder) {
    std::vector<std::string> chain{"/"};
    for (size_t i = 1; i < folder.size(); ++i)
        if (folder[i] == '/') chain.push_back(folder.substr(0, i));
    if (folder != "/") chain.push_back(folder);
    return chain;
}

std::string NameOf(const std::string& folder) {
    return folder == "/" ? folder : folder.substr(folder.rfind('/') + 1);
}

} // namespace

QString WithClosingSeparator(const QString& folder) {
    QString native = QDir::toNativeSeparators(folder);
#ifdef _WIN32
    return native + QDir::separator(); // "C:\" becomes "C:\\", as stored folder texts always had
#else
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
#endif
}

FrmLocateFolder::FrmLocateFolder(Prompts& prompts, QWidget* parent, const QString& startFolder)
    : QDialog(parent), prompts_(prompts) {
    setObjectName("FrmLocateFolder");
    setWindowTitle("Locate Sphere Folder");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    FillDrives();
    // A folder that cannot be listed is no choice to offer; the next one, and last the root, is.
    for (const QString& folder : {startFolder, QDir::currentPath(), QString("/")}) {
        if (folder.isEmpty()) continue;
        try {
            OpenFolder(folder.toStdString());
            break;
        } catch (const RunError&) {
        }
    }
    SelectDriveOf(Path().toStdString());
    ConnectControls();
    setFixedSize(sizeHint());
    CentreOnScreen(*this);
}

void FrmLocateFolder::BuildControls() {
    Drive1 = Named<QComboBox>("Drive1");
    Dir1 = Named<QTreeWidget>("Dir1");
    Dir1->setHeaderHidden(true);
    Dir1->setMinimumSize(300, 260);
    cmdOk = Named<QPushButton>("cmdOk", "&Ok");
    cmdCancel = Named<QPushButton>("cmdCancel", "&Cancel");
    cmdOk->setDefault(true);

    auto* frame = Named<QGroupBox>("Frame1", "Select Folder");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    auto* layout = new QGridLayout(frame);
    layout->addWidget(Drive1, 0, 0);
    layout->addWidget(Dir1, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    (new QHBoxLayout(this))->addWidget(frame);
}

void FrmLocateFolder::ConnectControls() {
    // Every handler is guarded: a failure it lets out is shown and the chooser goes on.
    auto guarded = [this](auto handler) { return Guarded(prompts_, this, handler); };
    connect(Drive1, &QComboBox::currentIndexChanged, this,
            guarded(&FrmLocateFolder::Drive1_Change));
    connect(Dir1, &QTreeWidget::currentItemChanged, this, guarded(&FrmLocateFolder::Dir1_Change));
    connect(Dir1, &QTreeWidget::itemExpanded, this, guarded(&FrmLocateFolder::Dir1_Expand));
    connect(cmdOk, &QPushButton::clicked, this, guarded(&FrmLocateFolder::cmdOk_Click));
    connect(cmdCancel, &QPushButton::clicked, this, guarded(&FrmLocateFolder::cmdCancel_Click));
}

void FrmLocateFolder::FillDrives() {
    const QSignalBlocker quiet(Drive1);
    for (const std::string& drive : UserDrives())
        Drive1->addItem(FromStd(drive), FromStd(drive));
}

void FrmLocateFolder::SelectDriveOf(const std::string& folder) {
    std::vector<std::string> drives;
    for (int i = 0; i < Drive1->count(); ++i)
        drives.push_back(Drive1->itemData(i).toString().toStdString());
    const QSignalBlocker quiet(Drive1);
    driveIndex_ = Drive1->findData(FromStd(DriveHolding(folder, drives)));
    Drive1->setCurrentIndex(driveIndex_);
}

QString FrmLocateFolder::Path() const {
    QTreeWidgetItem* item = Dir1->currentItem();
    return item ? item->data(0, PathRole).toString() : QString();
}

QString FrmLocateFolder::ChosenFolder() const {
    return WithClosingSeparator(Path());
}

// Reads the folder itself before anything changes, so that a failure leaves the tree as it was.
// A folder above it that cannot be listed still shows the way down to it.
void FrmLocateFolder::OpenFolder(const std::string& folder) {
    std::string target = AbsoluteFolder(folder);
    std::vector<std::string> below = SubFolders(target);
    std::vector<std::string> chain = ChainTo(target);
    std::vector<std::vector<std::string>> listings;
    for (size_t i = 0; i + 1 < chain.size(); ++i) {
        std::vector<std::string> names;
        try {
            names = SubFolders(chain[i]);
        } catch (const RunError&) {
        }
        std::string next = NameOf(chain[i + 1]);
        if (std::find(names.begin(), names.end(), next) == names.end()) {
            names.push_back(next); // a hidden folder on the way is shown too
            SortFolderNames(names);
        }
        listings.push_back(std::move(names));
    }
    listings.push_back(std::move(below));
    ShowChain(chain, listings);
}

void FrmLocateFolder::ShowChain(const std::vector<std::string>& chain,
                                const std::vector<std::vector<std::string>>& listings) {
    const QSignalBlocker quiet(Dir1);
    Dir1->clear();
    QTreeWidgetItem* item = FolderItem("/", "/");
    Dir1->addTopLevelItem(item);
    for (size_t i = 0; i < chain.size(); ++i) {
        AddChildren(item, listings[i]);
        if (i + 1 == chain.size()) break;
        item->setExpanded(true);
        for (int c = 0; c < item->childCount(); ++c)
            if (PathOf(item->child(c)) == chain[i + 1]) {
                item = item->child(c);
                break;
            }
    }
    Dir1->setCurrentItem(item);
    Dir1->scrollToItem(item);
}

void FrmLocateFolder::AddChildren(QTreeWidgetItem* item, const std::vector<std::string>& names) {
    std::string path = PathOf(item);
    for (const std::string& name : names)
        item->addChild(FolderItem(name, ChildFolder(path, name)));
    item->setData(0, ReadRole, true);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool FrmLocateFolder::ReadChildren(QTreeWidgetItem* item) {
    if (item->data(0, ReadRole).toBool()) return true;
    try {
        AddChildren(item, SubFolders(PathOf(item)));
        return true;
    } catch (const RunError& failure) {
        TellUnreadable(failure);
        return false;
    }
}

void FrmLocateFolder::TellUnreadable(const RunError& failure) {
    prompts_.Message(QString::fromStdString(FailureText(failure)), ApplicationTitle,
                     MessageIcon::Exclamation);
}

void FrmLocateFolder::Drive1_Change(int index) {
    if (index < 0 || index == driveIndex_) return;
    try {
        OpenFolder(Drive1->itemData(index).toString().toStdString());
        driveIndex_ = index;
    } catch (const RunError& failure) {
        TellUnreadable(failure);
        const QSignalBlocker quiet(Drive1);
        Drive1->setCurrentIndex(driveIndex_);
    }
}

// Choosing a folder reads it, so that only a folder that can be read is ever chosen.
void FrmLocateFolder::Dir1_Change(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (!current || ReadChildren(current)) return;
    const QSignalBlocker quiet(Dir1);
    Dir1->setCurrentItem(previous);
}

void FrmLocateFolder::Dir1_Expand(QTreeWidgetItem* item) {
    if (ReadChildren(item)) return;
    const QSignalBlocker quiet(Dir1);
    item->setExpanded(false);
}

void FrmLocateFolder::cmdOk_Click() {
    accept();
}

void FrmLocateFolder::cmdCancel_Click() {
    reject();
}

} // namespace mw
