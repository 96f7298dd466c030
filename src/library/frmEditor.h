#pragma once

#include "app/TemplateEditing.h"
#include "app/Transforms.h"
#include "library/PreviewDrawer.h"

#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

class QAction;
class QCheckBox;
class QLabel;
class QMenuBar;
class QSlider;
class QTableView;
class QUndoStack;

namespace mw {

class ComponentTable;
class EditStep;
class PreviewCanvas;
class Prompts;
class frmWardstone;
struct Session;

// A stored template edited in a window of its own: drawn as the preview draws it (the same art,
// zoom, pan and "Show up to z"), the selected components outlined, beside a table of its
// components that sorts by any column and selects in step with the drawing. Every change is one
// named step of an undo stack; nothing reaches the library before Save, which replaces the
// stored components in one transaction, or Save as New, which files a copy. Operations take the
// selection, or the whole template when nothing is selected.
class frmEditor : public QWidget {
    Q_OBJECT
public:
    // Loads the template (a failure lets the RunError out; no window is made then).
    frmEditor(frmWardstone& main, std::int32_t templateId, QWidget* parent = nullptr);
    ~frmEditor() override;

    std::int32_t TemplateId() const { return edited_.Row.TempIndexID; }
    const TemplateComponents& Components() const { return edited_.Components; }
    const Selection& Selected() const { return selection_; }
    QUndoStack* UndoStack() const { return undo_; }
    bool Drawing() const;
    std::shared_ptr<const PreviewPicture> Picture() const;

    // Selecting: shown in the drawing and in the table.
    void Select(const Selection& selection);
    void SelectAt(QPointF picturePoint, Qt::KeyboardModifiers modifiers); // Ctrl toggles
    void SelectIn(QRectF pictureArea, Qt::KeyboardModifiers modifiers);   // Ctrl adds
    void SelectSameItemId(); // every component of the first selected one's item id
    void SelectSameFloor();  // every component at the first selected one's z

    // Operations, each one undoable step; a refused one is shown and changes nothing.
    void MoveSelection(std::int32_t dx, std::int32_t dy, std::int32_t dz);
    void DeleteSelection();
    void CopySelection();
    void Paste(); // centred on the tile under the pointer, else the last one clicked
    void Rotate(std::int32_t degrees);
    void Mirror(Axis axis);
    void Recentre();
    void mnuMove_Click();    // asks for dx, dy and dz
    void mnuAdd_Click();     // asks for the item id, x, y and z
    void mnuSetZ_Click();    // asks for the z
    void mnuReplace_Click(); // asks for the item ids

    // Saving; false when it failed (told) or was cancelled, the edits kept either way.
    bool Save();
    bool SaveAsNew(); // through the template info dialog

    PreviewCanvas* picEditor;
    QTableView* tblComponents;
    QSlider* sldHeight;
    QCheckBox* chkShowListed;
    QLabel *lblHeight, *lblSelection, *lblStatus;
    QAction *mnuUndo, *mnuRedo;

signals:
    // The newest drawing has finished (drawn or failed) and shows.
    void drawingFinished();

protected:
    void closeEvent(QCloseEvent* event) override; // unsaved changes: Save, Discard or Cancel
    bool eventFilter(QObject* watched, QEvent* event) override; // the drawing's keys

private:
    friend class EditStep;
    void BuildControls();
    QMenuBar* BuildMenus();
    void ConnectControls();
    void Do(Edit edit);
    void Changed(const Selection& selection); // after a step was done or undone
    void Redraw();
    void Drawn(const PreviewResult& result);
    void ShowSelection();      // in the drawing, the table and the counts
    void ShowSelectionDrawn(); // in the drawing and the counts
    void TableSelectionChanged();
    void ShowTitle();
    Selection Target() const; // the selection, or all when nothing is selected
    std::optional<std::pair<int, int>> TileUnderPointer() const;
    QString Ask(const QString& prompt, const QString& title, const QString& start);

    frmWardstone& main_;
    Session& session_;
    Prompts& prompts_;
    EditedTemplate edited_;
    Selection selection_ = Selection::None();
    QUndoStack* undo_;
    ComponentTable* table_;
    PreviewDrawer* drawer_;
    std::shared_ptr<OpenedArt> art_;
    std::optional<PreviewResult> shown_;
    std::vector<Component> clipboard_;
    std::optional<std::pair<int, int>> lastTile_; // the tile of the last click
    bool showingSelection_ = false;               // the table follows; its signals are ours
};

} // namespace mw
