#include "library/PreviewCanvas.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace mw {

namespace {

const QColor Backdrop(46, 52, 58);
constexpr double WheelStep = 1.25;   // per notch of the wheel
constexpr double StaysInView = 48.0; // pixels of the picture that dragging cannot push out
constexpr double ClickSlack = 4;     // pixels a click may move and stay a click

} // namespace

PreviewCanvas::PreviewCanvas(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

void PreviewCanvas::SetImage(const QImage& image, QPoint shift) {
    image_ = image;
    if (fitted_) {
        FitNow();
    } else {
        offset_ += QPointF(shift) * zoom_;
        KeepInView();
    }
    update();
}

void PreviewCanvas::SetOverlay(const QImage& overlay) {
    overlay_ = overlay;
    update();
}

void PreviewCanvas::SetChoosing(bool choosing) {
    choosing_ = choosing;
    setCursor(choosing ? Qt::CrossCursor : Qt::OpenHandCursor);
    setFocusPolicy(choosing ? Qt::StrongFocus : Qt::NoFocus);
}

bool PreviewCanvas::Pans(Qt::MouseButton button) const {
    return choosing_ ? button == Qt::MiddleButton || button == Qt::RightButton
                     : button == Qt::LeftButton;
}

void PreviewCanvas::Fit() {
    fitted_ = true;
    FitNow();
    update();
}

void PreviewCanvas::FitNow() {
    double zoom = 1;
    if (!image_.isNull())
        zoom = std::min(double(width()) / image_.width(), double(height()) / image_.height());
    // Enlarged by whole steps only, so that every pixel of the art keeps the same size.
    if (zoom > 1) zoom = std::min(std::floor(zoom), MaxFitZoom);
    SetZoom(std::clamp(zoom, MinZoom, MaxZoom));
    offset_ = QRectF(rect()).center() - QPointF(image_.width(), image_.height()) * zoom_ / 2;
}

void PreviewCanvas::SetZoom(double zoom) {
    if (zoom == zoom_) return;
    zoom_ = zoom;
    emit ZoomChanged(zoom_);
}

void PreviewCanvas::ZoomBy(double factor, QPointF anchor) {
    const QPointF under = ToPicture(anchor);
    fitted_ = false;
    SetZoom(std::clamp(zoom_ * factor, MinZoom, MaxZoom));
    offset_ = anchor - under * zoom_;
    KeepInView();
    update();
}

// However far it is dragged or zoomed, a strip of the picture stays in the window to grab.
void PreviewCanvas::KeepInView() {
    const double w = image_.width() * zoom_, h = image_.height() * zoom_;
    const double marginX = std::min(StaysInView, w), marginY = std::min(StaysInView, h);
    offset_.setX(std::clamp(offset_.x(), marginX - w, std::max(marginX - w, width() - marginX)));
    offset_.setY(std::clamp(offset_.y(), marginY - h, std::max(marginY - h, height() - marginY)));
}

QString PreviewCanvas::ToolTipAt(QPoint widgetPoint) const {
    if (image_.isNull() || !ToolTipFor) return {};
    const QPointF point = ToPicture(QPointF(widgetPoint) + QPointF(0.5, 0.5));
    const int x = static_cast<int>(std::floor(point.x())),
              y = static_cast<int>(std::floor(point.y()));
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return {};
    return ToolTipFor(x, y);
}

bool PreviewCanvas::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = ToolTipAt(help->pos());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, this);
    return true;
}

void PreviewCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Backdrop);
    if (image_.isNull()) return;
    // Shrunk pictures are smoothed; enlarged ones show their pixels as the art has them.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1);
    painter.translate(offset_);
    painter.scale(zoom_, zoom_);
    painter.drawImage(QPointF(0, 0), image_);
    if (!overlay_.isNull()) painter.drawImage(QPointF(0, 0), overlay_);
    if (bandFrom_ && bandTo_) {
        painter.resetTransform();
        painter.setPen(QPen(QColor(0, 200, 255), 1, Qt::DashLine));
        painter.setBrush(QColor(0, 200, 255, 40));
        painter.drawRect(QRectF(*bandFrom_, *bandTo_).normalized());
    }
}

void PreviewCanvas::resizeEvent(QResizeEvent*) {
    if (fitted_)
        FitNow();
    else
        KeepInView();
}

void PreviewCanvas::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    ZoomBy(std::pow(WheelStep, notches), event->position());
    event->accept();
}

void PreviewCanvas::mousePressEvent(QMouseEvent* event) {
    if (choosing_ && event->button() == Qt::LeftButton) {
        setFocus();
        bandFrom_ = event->position();
        return;
    }
    if (!Pans(event->button())) return QWidget::mousePressEvent(event);
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
    QToolTip::hideText();
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (bandFrom_) {
        bandTo_ = event->position();
        update();
        return;
    }
    if (!dragFrom_) {
        // A tooltip already showing follows the pointer from component to component.
        if (QToolTip::isVisible()) {
            const QString text = ToolTipAt(event->position().toPoint());
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(event->globalPosition().toPoint(), text, this);
        }
        return QWidget::mouseMoveEvent(event);
    }
    offset_ += event->position() - *dragFrom_;
    dragFrom_ = event->position();
    fitted_ = false;
    KeepInView();
    update();
}

void PreviewCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (bandFrom_ && event->button() == Qt::LeftButton) {
        const QRectF band = QRectF(*bandFrom_, event->position()).normalized();
        bandFrom_.reset();
        bandTo_.reset();
        update();
        // A few pixels of shaking are still a click.
        if (band.width() < ClickSlack && band.height() < ClickSlack)
            emit PictureClicked(ToPicture(event->position()), event->modifiers());
        else
            emit RectangleChosen(QRectF(ToPicture(band.topLeft()), ToPicture(band.bottomRight())),
                                 event->modifiers());
        return;
    }
    if (!Pans(event->button()) || !dragFrom_) return QWidget::mouseReleaseEvent(event);
    dragFrom_.reset();
    setCursor(choosing_ ? Qt::CrossCursor : Qt::OpenHandCursor);
}

void AddZoomKeys(QWidget* window, PreviewCanvas* canvas) {
    constexpr double KeyZoomStep = 1.5;
    const std::pair<QKeySequence, double> zooms[] = {
        {QKeySequence(Qt::Key_Plus), KeyZoomStep},
        {QKeySequence(Qt::Key_Equal), KeyZoomStep},
        {QKeySequence(QKeySequence::ZoomIn), KeyZoomStep},
        {QKeySequence(Qt::Key_Minus), 1 / KeyZoomStep},
        {QKeySequence(QKeySequence::ZoomOut), 1 / KeyZoomStep}};
    for (const auto& [keys, factor] : zooms)
        QObject::connect(new QShortcut(keys, window), &QShortcut::activated, canvas,
                         [canvas, factor = factor] { canvas->ZoomBy(factor); });
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_0), window), &QShortcut::activated, canvas,
                     [canvas] { canvas->Fit(); });
}

} // namespace mw
