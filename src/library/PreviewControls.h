#pragma once

#include "formats/MultiFiles.h"
#include "render/PreviewDrawing.h"

#include <QString>
#include <optional>
#include <vector>

class QLabel;
class QSlider;

namespace mw {

struct PreviewResult;

// What the preview and the editor share: the "Show up to z" slider and its label, and the
// tooltip of a drawn component.
QSlider* MakeHeightSlider();
QLabel* MakeHeightLabel(); // as wide as its widest text, so that the slider stays put
// The slider spans the components' heights, without a signal; at the top (all shown) unless
// `keep` and its value still lies within them.
void SetHeights(QSlider* slider, const std::vector<MulRecord>& components, bool keep);
QString HeightText(const QSlider* slider); // "Show up to z: 12 (all)"
// What the slider leaves out, and whether the listed components show.
PreviewOptions DrawingOptions(const QSlider* slider, bool showListed);

// The tooltip of the shown drawing's pixel x, y: the component's item id, tiledata name, x, y, z
// and flag; empty over the background.
QString ComponentToolTip(const PreviewResult& shown, int x, int y);

} // namespace mw
