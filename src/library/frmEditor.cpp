#include "library/frmEditor.h"

#include "app/Session.h"
#include "library/ComponentTable.h"
#include "library/PreviewControls.h"
#include "library/PreviewCanvas.h"
#include "library/frmWardstone.h"
#include "store/LibraryEdits.h"
#include "store/SaveNewTemplate.h"
#include "ui/Guarded.h"
#include "ui/NamedControls.h"
#include "ui/ProgressFeedback.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSlider>
#include <QSplitter>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <map>

namespace mw {

// One operation on the undo stack. Undone, it gives back the selection shown when it was made;
// done, the one the operation leaves (pasted or added components, nothing after a deletion).
class EditStep : public QUndoCommand {
public:
    EditStep(frmEditor& editor, Edit edit)
        : QUndoCommand(QString::fromStdString(edit.Name())), editor_(editor),
          edit_(std::move(edit)), shown_(editor.Selected()) {}
    void redo() override {
        edit_.Apply(editor_.edited_.Components);
        Selection after = edit_.SelectionAfter();
        editor_.Changed(after.IsAll() ? shown_ : after);
    }
    void undo() override {
        edit_.Revert(editor_.edited_.Components);
        editor_.Changed(shown_);
    }
    // Moves of the same components one after another (the arrow keys) are one step.
    int id() const override { return edit_.Name() == "Move" ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        return edit_.Merge(static_cast<const EditStep*>(other)->edit_);
    }

private:
    frmEditor& editor_;
    Edit edit_;
    Selection shown_;
};

namespace {

constexpr std::uint32_t SelectedEdge = 0xFF00C8FF; // opaque
constexpr std::uint32_t SelectedInside =
    0x40003240; // a quarter of the edge's colour, premultiplied
constexpr int TileHalfHeight = 22;

std::vector<char> Mask(const Selection& selection, size_t size) {
    std::vector<char> mask(size, selection.IsAll() ? 1 : 0);
    for (std::uint32_t i : selection.Listed())
        if (i < size) mask[i] = 1;
    return mask;
}

// The selected components tinted where they show, and the outline of all of them drawn, over
// the picture: a floor under a roof shows its edge, not the roof as selected. Components drawn
// after a selected one take its tint away where they cover it, as they cover it in the picture.
QImage SelectionOverlay(const PreviewPicture& picture, const std::vector<char>& selected) {
    const int width = picture.Image.Width, height = picture.Image.Height;
    if (width == 0 || height == 0) return {};
    QImage overlay(width, height, QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    auto* pixels = reinterpret_cast<std::uint32_t*>(overlay.bits());
    const qsizetype stride = overlay.bytesPerLine() / 4;
    std::vector<char> covered(static_cast<size_t>(width) * height, 0);
    bool any = false;
    for (const PlacedComponent& placed : picture.Placed) {
        const bool chosen = placed.Index < selected.size() && selected[placed.Index];
        if (!chosen && !any) continue;
        any = true;
        const ArgbImage& image = *placed.Image;
        for (int v = 0; v < image.Height; ++v)
            for (int u = 0; u < image.Width; ++u) {
                if (!IsOpaque(image.At(u, v))) continue;
                const int x = placed.Left + u, y = placed.Top + v;
                pixels[y * stride + x] = chosen ? SelectedInside : 0;
                if (chosen) covered[static_cast<size_t>(y) * width + x] = 1;
            }
    }
    if (!any) return {};
    auto at = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               covered[static_cast<size_t>(y) * width + x];
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (at(x, y) && !(at(x - 1, y) && at(x + 1, y) && at(x, y - 1) && at(x, y + 1)))
                pixels[y * stride + x] = SelectedEdge;
    return overlay;
}

// The middle of a drawn component's tile: what a rectangle must hold to select it.
QPointF Footprint(const PlacedComponent& placed) {
    return {placed.Left + placed.Image->Width / 2.0,
            placed.Top + placed.Image->Height - double(TileHalfHeight)};
}

std::vector<MulRecord> Drawable(const TemplateComponents& components) {
    std::vector<MulRecord> records;
    records.reserve(components.size());
    for (const Component& c : components)
        records.push_back({static_cast<std::uint16_t>(c.ItemID), c.X, c.Y, c.Z, c.Flag});
    return records;
}

// Whole numbers separated by blanks or commas; an item id is hexadecimal, with or without 0x.
std::optional<std::vector<int>> Numbers(const QString& text, size_t count, size_t hexadecimal) {
    const QStringList parts = text.split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts);
    if (static_cast<size_t>(parts.size()) != count) return std::nullopt;
    std::vector<int> numbers;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const bool hex = static_cast<size_t>(i) < hexadecimal;
        QString part = parts[i];
        if (hex && part.startsWith("0x", Qt::CaseInsensitive)) part = part.mid(2);
        numbers.push_back(part.toInt(&ok, hex ? 16 : 10));
        if (!ok) return std::nullopt;
    }
    return numbers;
}

QString Hex(std::int32_t itemId) {
    return QString::asprintf("0x%04X", unsigned{static_cast<std::uint16_t>(itemId)});
}

} // namespace

frmEditor::frmEditor(frmWardstone& main, std::int32_t templateId, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main), session_(main.session()), prompts_(main.prompts()),
      edited_(OpenTemplate(session_, templateId)), undo_(new QUndoStack(this)),
      table_(new ComponentTable(edited_.Components, this)), drawer_(new PreviewDrawer(this)) {
    setObjectName("frmEditor");
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    ConnectControls();
    ShowTitle();
    resize(1100, 680);
    art_ = std::make_shared<OpenedArt>(PreviewArtFolder(session_));
    SetHeights(sldHeight, Drawable(edited_.Components), false);
    lblHeight->setText(HeightText(sldHeight));
    ShowSelection();
    Redraw();
}

frmEditor::~frmEditor() = default;

void frmEditor::BuildControls() {
    picEditor = Named<PreviewCanvas>("picEditor");
    picEditor->SetChoosing(true);
    picEditor->ToolTipFor = [this](int x, int y) {
        return shown_ ? ComponentToolTip(*shown_, x, y) : QString();
    };
    picEditor->installEventFilter(this);
    tblComponents = Named<QTableView>("tblComponents");
    tblComponents->setModel(table_);
    tblComponents->setSortingEnabled(true);
    tblComponents->sortByColumn(-1, Qt::AscendingOrder); // template order until a click
    tblComponents->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblComponents->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblComponents->verticalHeader()->setDefaultSectionSize(tblComponents->fontMetrics().height() +
                                                           4);
    tblComponents->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblComponents->horizontalHeader()->setSectionResizeMode(ComponentTable::NameColumn,
                                                            QHeaderView::Stretch);
    // Every column in sight: the name takes what is left.
    tblComponents->setMinimumWidth(tblComponents->fontMetrics().horizontalAdvance("0") * 52);
    lblHeight = MakeHeightLabel();
    sldHeight = MakeHeightSlider();
    chkShowListed = Named<QCheckBox>("chkShowListed", "Show doors and other listed parts");
    chkShowListed->setChecked(true);
    lblSelection = Named<QLabel>("lblSelection");
    lblStatus = Named<QLabel>("lblStatus");
    lblStatus->setWordWrap(true);

    auto* drawing = new QWidget;
    auto* options = new QHBoxLayout;
    options->addWidget(lblHeight);
    options->addWidget(sldHeight, 1);
    options->addWidget(chkShowListed);
    auto* left = new QVBoxLayout(drawing);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(picEditor, 1);
    left->addLayout(options);
    auto* split = new QSplitter;
    split->addWidget(drawing);
    split->addWidget(tblComponents);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setSizes({700, 400});
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(BuildMenus());
    layout->addWidget(split, 1);
    layout->addWidget(lblSelection);
    layout->addWidget(lblStatus);
}

QMenuBar* frmEditor::BuildMenus() {
    auto* bar = new QMenuBar(this);
    auto guarded = [this](auto handler) { return Guarded(prompts_, std::move(handler)); };
    auto add = [&](QMenu* menu, const QString& name, const QString& text, auto handler,
                   const QKeySequence& keys = {}) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, guarded(handler));
        return action;
    };
    QMenu* file = bar->addMenu("&Template");
    add(
        file, "mnuSave", "&Save", [this] { Save(); }, QKeySequence::Save);
    add(file, "mnuSaveAsNew", "Save as &New...", [this] { SaveAsNew(); });
    file->addSeparator();
    add(
        file, "mnuClose", "&Close", [this] { close(); }, QKeySequence(Qt::CTRL | Qt::Key_W));

    QMenu* edit = bar->addMenu("&Edit");
    mnuUndo = undo_->createUndoAction(this, "&Undo");
    mnuUndo->setObjectName("mnuUndo");
    mnuUndo->setShortcut(QKeySequence::Undo);
    mnuRedo = undo_->createRedoAction(this, "&Redo");
    mnuRedo->setObjectName("mnuRedo");
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_Y));
    mnuRedo->setShortcuts(redoKeys);
    edit->addAction(mnuUndo);
    edit->addAction(mnuRedo);
    edit->addSeparator();
    add(
        edit, "mnuCopy", "&Copy", [this] { CopySelection(); }, QKeySequence::Copy);
    add(
        edit, "mnuPaste", "&Paste", [this] { Paste(); }, QKeySequence::Paste);
    add(
        edit, "mnuDelete", "&Delete", [this] { DeleteSelection(); }, QKeySequence::Delete);
    add(
        edit, "mnuAdd", "&Add Component...", [this] { mnuAdd_Click(); }, Qt::Key_Insert);
    edit->addSeparator();
    add(
        edit, "mnuSelectAll", "Select &All", [this] { Select(Selection::All()); },
        QKeySequence::SelectAll);
    add(
        edit, "mnuSelectNone", "Select &None", [this] { Select(Selection::None()); },
        Qt::Key_Escape);
    add(edit, "mnuSelectItemId", "Select All of This &Item ID", [this] { SelectSameItemId(); });
    add(edit, "mnuSelectFloor", "Select This &Floor (Same z)", [this] { SelectSameFloor(); });

    QMenu* change = bar->addMenu("&Change");
    add(
        change, "mnuMove", "&Move by...", [this] { mnuMove_Click(); }, Qt::CTRL | Qt::Key_M);
    add(change, "mnuSetZ", "Set &z...", [this] { mnuSetZ_Click(); });
    add(
        change, "mnuReplace", "&Replace Item ID...", [this] { mnuReplace_Click(); },
        Qt::CTRL | Qt::Key_R);
    change->addSeparator();
    for (int degrees : {90, 180, 270})
        add(change, "mnuRotate" + QString::number(degrees),
            "R&otate " + QString::number(degrees) + " Degrees",
            [this, degrees] { Rotate(degrees); });
    add(change, "mnuMirrorX", "Mirror along &x", [this] { Mirror(Axis::X); });
    add(change, "mnuMirrorY", "Mirror along &y", [this] { Mirror(Axis::Y); });
    add(change, "mnuRecentre", "Re-&centre", [this] { Recentre(); });

    QMenu* view = bar->addMenu("&View");
    add(view, "mnuFit", "&Fit", [this] { picEditor->Fit(); });
    AddZoomKeys(this, picEditor);
    return bar;
}

void frmEditor::ConnectControls() {
    auto guarded = [this](auto handler) { return Guarded(prompts_, std::move(handler)); };
    connect(picEditor, &PreviewCanvas::PictureClicked, this,
            guarded([this](QPointF at, Qt::KeyboardModifiers keys) { SelectAt(at, keys); }));
    connect(picEditor, &PreviewCanvas::RectangleChosen, this,
            guarded([this](QRectF area, Qt::KeyboardModifiers keys) { SelectIn(area, keys); }));
    connect(tblComponents->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            guarded([this] { TableSelectionChanged(); }));
    connect(table_, &QAbstractItemModel::modelReset, this, guarded([this] { ShowSelection(); }));
    connect(sldHeight, &QSlider::valueChanged, this, guarded([this] {
                lblHeight->setText(HeightText(sldHeight));
                Redraw();
            }));
    connect(chkShowListed, &QCheckBox::toggled, this, guarded([this] { Redraw(); }));
    connect(drawer_, &PreviewDrawer::Drawn, this,
            guarded([this](const PreviewResult& result) { Drawn(result); }));
    connect(undo_, &QUndoStack::cleanChanged, this, guarded([this] { ShowTitle(); }));
}

bool frmEditor::Drawing() const {
    return drawer_->Busy();
}

std::shared_ptr<const PreviewPicture> frmEditor::Picture() const {
    return shown_ ? shown_->Picture : nullptr;
}

void frmEditor::ShowTitle() {
    setWindowTitle("Edit - " + QString::fromStdString(edited_.Row.Description) + "[*]");
    setWindowModified(!undo_->isClean());
}

// ---- Drawing

void frmEditor::Redraw() {
    auto components = std::make_shared<const std::vector<MulRecord>>(Drawable(edited_.Components));
    drawer_->Draw(
        {TemplateId(), components, art_, DrawingOptions(sldHeight, chkShowListed->isChecked())});
}

void frmEditor::Drawn(const PreviewResult& result) {
    if (result.Cancelled) return;
    QPoint shift;
    if (shown_ && shown_->Picture && result.Picture) // the template's origin stays put on screen
        shift = QPoint(shown_->Picture->OriginX - result.Picture->OriginX,
                       shown_->Picture->OriginY - result.Picture->OriginY);
    shown_ = result;
    picEditor->SetImage(result.Image, shift);
    table_->SetTiles(result.Tiles);
    QStringList status;
    if (!result.Status.empty()) status << QString::fromStdString(result.Status);
    if (result.Failure) status << ShownFailure(*result.Failure);
    if (result.Picture && result.Picture->WithoutArt > 0)
        status << QString::fromStdString(WithoutArtText(result.Picture->WithoutArt)) + '.';
    lblStatus->setText(status.join(' '));
    ShowSelection();
    emit drawingFinished();
}

// ---- Selecting

void frmEditor::Select(const Selection& selection) {
    selection_ =
        selection.IsAll() ? Selection::Of(selection.IndicesIn(Components().size())) : selection;
    ShowSelection();
}

void frmEditor::ShowSelectionDrawn() {
    const std::vector<char> mask = Mask(selection_, Components().size());
    picEditor->SetOverlay(shown_ && shown_->Picture ? SelectionOverlay(*shown_->Picture, mask)
                                                    : QImage());
    lblSelection->setText(QString("%1 components, %2 selected")
                              .arg(Components().size())
                              .arg(selection_.Listed().size()));
}

void frmEditor::ShowSelection() {
    ShowSelectionDrawn();
    // The table's rows of the selection, as ranges of neighbouring rows.
    std::vector<int> rows;
    rows.reserve(selection_.Listed().size());
    for (std::uint32_t i : selection_.Listed())
        if (i < Components().size()) rows.push_back(table_->RowOf(i));
    std::sort(rows.begin(), rows.end());
    QItemSelection ranges;
    for (size_t k = 0; k < rows.size();) {
        size_t end = k;
        while (end + 1 < rows.size() && rows[end + 1] == rows[end] + 1)
            ++end;
        ranges.select(table_->index(rows[k], 0),
                      table_->index(rows[end], ComponentTable::Columns - 1));
        k = end + 1;
    }
    showingSelection_ = true;
    tblComponents->selectionModel()->select(ranges, QItemSelectionModel::ClearAndSelect);
    showingSelection_ = false;
    if (!rows.empty()) tblComponents->scrollTo(table_->index(rows.front(), 0));
}

void frmEditor::TableSelectionChanged() {
    if (showingSelection_) return;
    std::vector<std::uint32_t> chosen;
    for (const QModelIndex& row : tblComponents->selectionModel()->selectedRows())
        chosen.push_back(table_->ComponentAt(row.row()));
    selection_ = Selection::Of(std::move(chosen));
    ShowSelectionDrawn();
}

void frmEditor::SelectAt(QPointF at, Qt::KeyboardModifiers modifiers) {
    if (!shown_ || !shown_->Picture) return;
    lastTile_ = TileAt(*shown_->Picture, at.x(), at.y());
    std::optional<size_t> hit = ComponentAt(*shown_->Picture, int(at.x()), int(at.y()));
    std::vector<std::uint32_t> chosen;
    if (modifiers & Qt::ControlModifier) {
        chosen = selection_.Listed();
        if (hit) {
            auto found = std::find(chosen.begin(), chosen.end(), *hit);
            if (found != chosen.end())
                chosen.erase(found);
            else
                chosen.push_back(static_cast<std::uint32_t>(*hit));
        }
    } else if (hit) {
        chosen.push_back(static_cast<std::uint32_t>(*hit));
    }
    Select(Selection::Of(std::move(chosen)));
}

void frmEditor::SelectIn(QRectF area, Qt::KeyboardModifiers modifiers) {
    if (!shown_ || !shown_->Picture) return;
    std::vector<std::uint32_t> chosen;
    if (modifiers & Qt::ControlModifier) chosen = selection_.Listed();
    for (const PlacedComponent& placed : shown_->Picture->Placed)
        if (area.contains(Footprint(placed)))
            chosen.push_back(static_cast<std::uint32_t>(placed.Index));
    Select(Selection::Of(std::move(chosen)));
}

void frmEditor::SelectSameItemId() {
    if (selection_.Listed().empty()) return;
    const Component& first = Components()[selection_.Listed().front()];
    Select(WithItemId(Components(), Selection::All(), static_cast<std::uint16_t>(first.ItemID)));
}

void frmEditor::SelectSameFloor() {
    if (selection_.Listed().empty()) return;
    const std::int16_t z = Components()[selection_.Listed().front()].Z;
    std::vector<std::uint32_t> floor;
    for (size_t i = 0; i < Components().size(); ++i)
        if (Components()[i].Z == z) floor.push_back(static_cast<std::uint32_t>(i));
    Select(Selection::Of(std::move(floor)));
}

Selection frmEditor::Target() const {
    return selection_.Listed().empty() ? Selection::All() : selection_;
}

// ---- Operations

void frmEditor::Do(Edit edit) {
    undo_->push(new EditStep(*this, std::move(edit)));
}

void frmEditor::Changed(const Selection& selection) {
    selection_ = selection;
    table_->Refresh(); // shows the selection again
    SetHeights(sldHeight, Drawable(Components()), true);
    lblHeight->setText(HeightText(sldHeight));
    Redraw();
}

void frmEditor::MoveSelection(std::int32_t dx, std::int32_t dy, std::int32_t dz) {
    Do(MoveComponents(Components(), Target(), dx, dy, dz));
}

void frmEditor::DeleteSelection() {
    if (selection_.Listed().empty()) return;
    Do(DeleteComponents(Components(), selection_));
}

void frmEditor::CopySelection() {
    if (!selection_.Listed().empty()) clipboard_ = CopyComponents(Components(), selection_);
}

void frmEditor::Paste() {
    if (clipboard_.empty()) return;
    std::vector<Component> copies = clipboard_;
    if (auto tile = TileUnderPointer() ? TileUnderPointer() : lastTile_)
        copies = PlacedAt(std::move(copies), tile->first, tile->second);
    Do(AddComponents(Components(), std::move(copies), selection_, "Paste"));
}

std::optional<std::pair<int, int>> frmEditor::TileUnderPointer() const {
    const QPoint pointer = picEditor->mapFromGlobal(QCursor::pos());
    if (!shown_ || !shown_->Picture || !picEditor->rect().contains(pointer)) return std::nullopt;
    const QPointF at = picEditor->ToPicture(pointer);
    return TileAt(*shown_->Picture, at.x(), at.y());
}

void frmEditor::Rotate(std::int32_t degrees) {
    Do(RotateComponents(Components(), Target(), degrees));
}

void frmEditor::Mirror(Axis axis) {
    Do(MirrorComponents(Components(), Target(), axis));
}

void frmEditor::Recentre() {
    Do(RecentreTemplate(Components()));
}

QString frmEditor::Ask(const QString& prompt, const QString& title, const QString& start) {
    return prompts_.InputBoxWith(prompt, title, start).trimmed();
}

void frmEditor::mnuMove_Click() {
    const QString prompt = "Move by dx, dy and dz (whole numbers, such as 1 -2 0)";
    const QString typed = Ask(prompt, "Move", "0 0 0");
    if (typed.isEmpty()) return;
    auto d = Numbers(typed, 3, 0);
    if (!d) return prompts_.Message(prompt, "Move", MessageIcon::Exclamation);
    MoveSelection((*d)[0], (*d)[1], (*d)[2]);
}

void frmEditor::mnuAdd_Click() {
    const QString prompt = "The new component's item id (hexadecimal), x, y and z";
    const auto [x, y] = lastTile_.value_or(std::pair{0, 0});
    const QString start =
        (selection_.Listed().empty() ? QString("0x0001")
                                     : Hex(Components()[selection_.Listed().front()].ItemID)) +
        QString(" %1 %2 0").arg(x).arg(y);
    const QString typed = Ask(prompt, "Add Component", start);
    if (typed.isEmpty()) return;
    auto n = Numbers(typed, 4, 1);
    if (!n) return prompts_.Message(prompt, "Add Component", MessageIcon::Exclamation);
    Do(AddComponents(Components(),
                     {NewComponent((*n)[0], (*n)[1], (*n)[2], (*n)[3], session_.Components)},
                     selection_));
}

void frmEditor::mnuSetZ_Click() {
    const QString prompt = "The z of the selected components";
    const QString start = selection_.Listed().empty()
                              ? "0"
                              : QString::number(Components()[selection_.Listed().front()].Z);
    const QString typed = Ask(prompt, "Set z", start);
    if (typed.isEmpty()) return;
    auto z = Numbers(typed, 1, 0);
    if (!z) return prompts_.Message(prompt, "Set z", MessageIcon::Exclamation);
    Do(SetZ(Components(), Target(), (*z)[0]));
}

void frmEditor::mnuReplace_Click() {
    const QString prompt = "Replace the item id (hexadecimal) by another, such as 0x0064 0x0065";
    const QString id = selection_.Listed().empty()
                           ? QString("0x0001")
                           : Hex(Components()[selection_.Listed().front()].ItemID);
    const QString typed = Ask(prompt, "Replace Item ID", id + " " + id);
    if (typed.isEmpty()) return;
    auto ids = Numbers(typed, 2, 2);
    if (!ids) return prompts_.Message(prompt, "Replace Item ID", MessageIcon::Exclamation);
    Do(ReplaceItemId(Components(), Target(), (*ids)[0], (*ids)[1], session_.Components));
}

// The drawing's own keys: the arrows move the selection by a tile, Page Up and Page Down by a
// z step.
bool frmEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != picEditor || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    static const std::map<int, std::array<int, 3>> moves = {
        {Qt::Key_Left, {-1, 0, 0}}, {Qt::Key_Right, {1, 0, 0}},  {Qt::Key_Up, {0, -1, 0}},
        {Qt::Key_Down, {0, 1, 0}},  {Qt::Key_PageUp, {0, 0, 1}}, {Qt::Key_PageDown, {0, 0, -1}}};
    auto move = moves.find(static_cast<QKeyEvent*>(event)->key());
    if (move == moves.end()) return false;
    RunGuarded(prompts_, [&] { MoveSelection(move->second[0], move->second[1], move->second[2]); });
    return true;
}

// ---- Saving

bool frmEditor::Save() {
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Saving the template...");
        SaveTemplate(session_, edited_, progress.Callback());
    } catch (const RunError& failure) {
        // The library keeps the template as it was, and this window the edits.
        if (failure.Number != err::Cancelled)
            prompts_.Message(ShownFailure(failure), ApplicationTitle, MessageIcon::Exclamation);
        return false;
    }
    undo_->setClean();
    main_.TemplateSaved(TemplateId());
    return true;
}

bool frmEditor::SaveAsNew() {
    Connection& cn = session_.cnTemplates;
    const DesignLabels here{edited_.Row.Description, CategoryName(cn, edited_.Row.CategoryID),
                            SubSectionName(cn, edited_.Row.SubsectID)};
    if (!main_.AskFiling(here)) return false;
    const NewTemplateFields fields{main_.NewCategoryID.toStdString(),
                                   main_.NewSubsectID.toStdString(),
                                   main_.strNewDescription.toStdString()};
    std::int32_t id;
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Storing the template...");
        id = SaveTemplateAsNew(session_, edited_, fields, progress.Callback());
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled)
            prompts_.Message(ShownFailure(failure), ApplicationTitle, MessageIcon::Exclamation);
        return false;
    }
    undo_->setClean();
    ShowTitle();
    main_.TemplateSaved(id);
    return true;
}

void frmEditor::closeEvent(QCloseEvent* event) {
    if (!undo_->isClean()) {
        const UnsavedChoice choice = prompts_.AskSaveChanges(
            "Save the changes to \"" + QString::fromStdString(edited_.Row.Description) +
                "\" before closing?",
            "Unsaved Changes");
        if (choice == UnsavedChoice::Cancel || (choice == UnsavedChoice::Save && !Save()))
            return event->ignore();
    }
    event->accept();
}

} // namespace mw
