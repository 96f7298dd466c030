#include "library/PreviewControls.h"

#include "formats/TileData.h"
#include "library/PreviewDrawer.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

namespace mw {

QSlider* MakeHeightSlider() {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName("sldHeight");
    slider->setToolTip("Leaves out the components above this height, to look inside");
    slider->setEnabled(false);
    return slider;
}

QLabel* MakeHeightLabel() {
    auto* label = new QLabel;
    label->setObjectName("lblHeight");
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance("Show up to z: -32768 (all)"));
    return label;
}

void SetHeights(QSlider* slider, const std::vector<MulRecord>& components, bool keep) {
    int lowest = 0, highest = 0;
    if (!components.empty()) {
        auto [low, high] =
            std::minmax_element(components.begin(), components.end(),
                                [](const MulRecord& a, const MulRecord& b) { return a.Z < b.Z; });
        lowest = low->Z;
        highest = high->Z;
    }
    const int value = slider->value();
    const bool kept = keep && value < slider->maximum() && value >= lowest && value <= highest;
    const QSignalBlocker quiet(slider);
    slider->setRange(lowest, highest);
    slider->setValue(kept ? value : highest);
    slider->setEnabled(lowest < highest);
}

QString HeightText(const QSlider* slider) {
    QString text = "Show up to z: " + QString::number(slider->value());
    if (slider->value() == slider->maximum()) text += " (all)";
    return text;
}

PreviewOptions DrawingOptions(const QSlider* slider, bool showListed) {
    PreviewOptions options;
    if (slider->value() < slider->maximum()) options.MaxZ = slider->value();
    options.ShowListed = showListed;
    return options;
}

QString ComponentToolTip(const PreviewResult& shown, int x, int y) {
    if (!shown.Picture) return {};
    std::optional<size_t> index = ComponentAt(*shown.Picture, x, y);
    if (!index || *index >= shown.Request.Components->size()) return {};
    const MulRecord& component = (*shown.Request.Components)[*index];
    QString text = QString::asprintf("0x%04X", unsigned{component.ItemID});
    if (shown.Tiles)
        if (const StaticTile* tile = shown.Tiles->Static(component.ItemID);
            tile && !tile->Name.empty())
            text += ' ' + QString::fromStdString(tile->Name);
    return text + QString("\nx %1, y %2, z %3, flag %4")
                      .arg(component.X)
                      .arg(component.Y)
                      .arg(component.Z)
                      .arg(component.Flag);
}

} // namespace mw
