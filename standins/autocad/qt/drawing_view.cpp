#include "drawing_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "pick_geometry.h"

namespace velmora::standins {

namespace {

constexpr int kPickBoxPixels = 5;
constexpr int kDragThreshold = 4;

const QColor kBackground(33, 40, 48);
const QColor kPointColour(255, 255, 255);
const QColor kCircleColour(255, 255, 0);
const QColor kTextColour(0, 255, 0);
const QColor kHighlight(80, 160, 255);

}  // namespace

DrawingView::DrawingView(const Drawing& drawing, QWidget* parent)
    : QWidget(parent), drawing_(drawing) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(400, 300);
    setAutoFillBackground(false);
}

void DrawingView::BeginPick(const SelectionFilter& filter, std::function<void(bool)> done) {
    picking_ = true;
    filter_ = filter;
    done_ = std::move(done);
    picked_.clear();
    highlighted_.clear();
    setCursor(Qt::CrossCursor);
    setFocus();
    update();
}

void DrawingView::EndPick(bool finished) {
    if (!picking_) return;
    picking_ = false;
    dragging_ = false;
    highlighted_.clear();
    unsetCursor();
    update();
    if (auto done = std::move(done_)) done(finished);
}

void DrawingView::ZoomExtents() {
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
    for (const auto& [id, entity] : drawing_.entities) {
        const Point3 at = entity.kind == EntityKind::Text ? TextAnchor(entity) : entity.position;
        minX = std::min(minX, at.x - entity.radius);
        maxX = std::max(maxX, at.x + entity.radius);
        minY = std::min(minY, at.y - entity.radius);
        maxY = std::max(maxY, at.y + entity.radius);
    }
    if (minX > maxX) minX = maxX = minY = maxY = 0;
    centreX_ = (minX + maxX) / 2;
    centreY_ = (minY + maxY) / 2;
    const double spanX = std::max(maxX - minX, 1.0), spanY = std::max(maxY - minY, 1.0);
    scale_ = 0.9 * std::min(width() / spanX, height() / spanY);
    fitted_ = true;
    update();
}

QPointF DrawingView::ToScreen(double x, double y) const {
    return {width() / 2.0 + (x - centreX_) * scale_, height() / 2.0 - (y - centreY_) * scale_};
}

QPointF DrawingView::ToDrawing(QPointF screen) const {
    return {centreX_ + (screen.x() - width() / 2.0) / scale_,
            centreY_ - (screen.y() - height() / 2.0) / scale_};
}

void DrawingView::resizeEvent(QResizeEvent*) {
    if (!fitted_) ZoomExtents();
}

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& [id, entity] : drawing_.entities) {
        const bool lit = highlighted_.count(id) > 0;
        QPen pen(lit                                 ? kHighlight
                 : entity.kind == EntityKind::Point  ? kPointColour
                 : entity.kind == EntityKind::Circle ? kCircleColour
                                                     : kTextColour);
        if (lit) pen.setStyle(Qt::DashLine);
        pen.setWidthF(lit ? 2 : 1);
        painter.setPen(pen);
        switch (entity.kind) {
            case EntityKind::Point: {
                // Point style "cross in a circle", a fixed size on screen.
                const QPointF at = ToScreen(entity.position.x, entity.position.y);
                painter.drawLine(at + QPointF(-4, 0), at + QPointF(4, 0));
                painter.drawLine(at + QPointF(0, -4), at + QPointF(0, 4));
                painter.drawEllipse(at, 3.0, 3.0);
                break;
            }
            case EntityKind::Circle: {
                const double r = std::max(entity.radius * scale_, 1.0);
                painter.drawEllipse(ToScreen(entity.position.x, entity.position.y), r, r);
                break;
            }
            case EntityKind::Text: {
                const double pixels = entity.height * scale_;
                if (pixels < 2) break;
                // A text's height is the height of its capitals.
                QFont font = painter.font();
                font.setPixelSize(100);
                const double capRatio = std::max(QFontMetricsF(font).capHeight() / 100, 0.3);
                font.setPixelSize(std::max(1, int(std::lround(pixels / capRatio))));
                const QFontMetricsF metrics(font);
                const QString text = QString::fromStdString(entity.text);
                const Point3 anchor = TextAnchor(entity);
                QPointF at = ToScreen(anchor.x, anchor.y);
                // Centred alignment: the anchor is the middle of the baseline.
                if (entity.alignment == 1) at.rx() -= metrics.horizontalAdvance(text) / 2;
                QPainterPath path;
                path.addText(at, font, text);
                painter.fillPath(path, pen.color());
                break;
            }
        }
    }
    if (dragging_) {
        const bool crossing = dragNow_.x() < dragStart_.x();
        QPen pen(crossing ? QColor(80, 200, 80) : QColor(80, 120, 255));
        pen.setStyle(crossing ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(pen);
        QColor fill = pen.color();
        fill.setAlpha(50);
        painter.setBrush(fill);
        painter.drawRect(QRect(dragStart_, dragNow_).normalized());
    }
}

void DrawingView::Take(const std::vector<EntityId>& ids) {
    for (EntityId id : ids) {
        if (highlighted_.insert(id).second) picked_.push_back(id);
    }
    update();
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        panning_ = true;
        panLast_ = event->position().toPoint();
        return;
    }
    if (!picking_) return;
    if (event->button() == Qt::RightButton) {
        EndPick(true);
    } else if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        dragStart_ = dragNow_ = event->position().toPoint();
    }
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (panning_) {
        centreX_ -= (at.x() - panLast_.x()) / scale_;
        centreY_ += (at.y() - panLast_.y()) / scale_;
        panLast_ = at;
        update();
        return;
    }
    if (picking_ && (event->buttons() & Qt::LeftButton)) {
        dragNow_ = at;
        if ((dragNow_ - dragStart_).manhattanLength() > kDragThreshold) dragging_ = true;
        update();
    }
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        panning_ = false;
        return;
    }
    if (!picking_ || event->button() != Qt::LeftButton) return;
    if (dragging_) {
        const QPointF a = ToDrawing(dragStart_), b = ToDrawing(dragNow_);
        const Box box{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
                      std::max(a.y(), b.y())};
        dragging_ = false;
        Take(PickInBox(drawing_, filter_, box, dragNow_.x() < dragStart_.x()));
        return;
    }
    const QPointF at = ToDrawing(event->position());
    const auto id = PickAt(drawing_, filter_, at.x(), at.y(), kPickBoxPixels / scale_);
    if (!id) return;
    if (event->modifiers() & Qt::ShiftModifier) {
        // Shift and a click takes an entity out of the pick again.
        if (highlighted_.erase(*id)) std::erase(picked_, *id);
        update();
    } else {
        Take({*id});
    }
}

void DrawingView::wheelEvent(QWheelEvent* event) {
    const QPointF cursor = event->position();
    const QPointF before = ToDrawing(cursor);
    scale_ *= std::pow(1.2, event->angleDelta().y() / 120.0);
    scale_ = std::clamp(scale_, 1e-6, 1e6);
    const QPointF after = ToDrawing(cursor);
    centreX_ += before.x() - after.x();
    centreY_ += before.y() - after.y();
    update();
}

void DrawingView::keyPressEvent(QKeyEvent* event) {
    if (!picking_) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            EndPick(true);
            break;
        case Qt::Key_Escape:
            EndPick(false);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace velmora::standins
