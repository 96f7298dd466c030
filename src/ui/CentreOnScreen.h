#pragma once

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace mw {

// Places a window, already at its final size, in the middle of its screen.
inline void CentreOnScreen(QWidget& window) {
    QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
}

// Places a window about to open over the middle of its owner, kept on the owner's screen.
inline void CentreOver(QWidget& window, const QWidget& owner) {
    window.adjustSize();
    const QRect screen = owner.screen()->availableGeometry();
    const QPoint place = owner.frameGeometry().center() - window.rect().center();
    window.move(std::clamp(place.x(), screen.left(),
                           std::max(screen.left(), screen.right() - window.width())),
                std::clamp(place.y(), screen.top(),
                           std::max(screen.top(), screen.bottom() - window.height())));
}

} // namespace mw
