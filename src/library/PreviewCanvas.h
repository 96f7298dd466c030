#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

namespace mw {

// A picture to look at closely: zoomed with the wheel (about the pointer) or ZoomBy, moved by
// dragging. It starts fitted to the widget, and stays fitted through resizes and new pictures
// until the user zooms or drags; Fit() fits it again. For choosing parts of the picture (the
// editor) the left button clicks and drags a rectangle instead, and the middle or right button
// moves the picture.
class PreviewCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr double MinZoom = 1.0 / 64;
    static constexpr double MaxZoom = 32;
    static constexpr double MaxFitZoom = 2; // a small template is not blown up beyond it

    explicit PreviewCanvas(QWidget* parent = nullptr);

    // Shows another picture. Unless the view is fitted it keeps its zoom, and a picture whose top
    // left lies `shift` picture pixels from the last one's (the same template with other parts
    // left out) keeps everything where it was on screen.
    void SetImage(const QImage& image, QPoint shift = {});
    const QImage& Image() const { return image_; }
    // Drawn over the picture at the same place and size (a selection); null for none.
    void SetOverlay(const QImage& overlay);
    void SetChoosing(bool choosing);

    void Fit();
    bool Fitted() const { return fitted_; }
    double Zoom() const { return zoom_; }
    // Zooms by a factor, keeping the point under `anchor` (widget coordinates) in place.
    void ZoomBy(double factor, QPointF anchor);
    void ZoomBy(double factor) { ZoomBy(factor, QRectF(rect()).center()); }

    QPointF ToPicture(QPointF widgetPoint) const { return (widgetPoint - offset_) / zoom_; }
    QPointF FromPicture(QPointF picturePoint) const { return offset_ + picturePoint * zoom_; }

    // The tooltip of a picture pixel; empty for none.
    std::function<QString(int x, int y)> ToolTipFor;
    // The tooltip shown for the pointer at this widget point.
    QString ToolTipAt(QPoint widgetPoint) const;

    QSize sizeHint() const override { return {640, 480}; }

signals:
    void ZoomChanged(double zoom);
    // While choosing: a click, or a rectangle dragged, at picture coordinates.
    void PictureClicked(QPointF at, Qt::KeyboardModifiers modifiers);
    void RectangleChosen(QRectF area, Qt::KeyboardModifiers modifiers);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FitNow();
    void KeepInView();
    void SetZoom(double zoom);

    bool Pans(Qt::MouseButton button) const;

    QImage image_, overlay_;
    bool choosing_ = false;
    std::optional<QPointF> bandFrom_, bandTo_; // a rectangle being dragged, widget coordinates
    double zoom_ = 1;
    QPointF offset_; // where the picture's top left lies in the widget
    bool fitted_ = true;
    std::optional<QPointF> dragFrom_;
};

// The keys of a picture window: + and - zoom, 0 fits.
void AddZoomKeys(QWidget* window, PreviewCanvas* canvas);

} // namespace mw
