#pragma once

#include <QScreen>
#include <QWidget>

namespace mw {

// Places a window, already at its final size, in the middle of its screen.
inline void CentreOnScreen(QWidget& window) {
    QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
}

} // namespace mw
