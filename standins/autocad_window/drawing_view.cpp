#include "standins/autocad_window/drawing_view.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "standins/drawing/pick_geometry.h"

namespace velmora::standins {

namespace {

constexpr int kPickBoxPixels = 5;
constexpr int kDragThreshold = 4;

const QColor kBackground(33, 40, 48);
const QColor kPointColour(255, 255, 255);
const QColor kCircleColour(255, 255, 0);
const QColor kTextColour(0, 255, 0);
const QColor kHighlight(80, 160, 255);
const QColor kContextColour(150, 150, 150);

constexpr int kStampHalf = 5;

void DrawPointSymbol(QPainter& painter, QPointF at) {
    painter.drawLine(at + QPointF(-4, 0), at + QPointF(4, 0));
    painter.drawLine(at + QPointF(0, -4), at + QPointF(0, 4));
    painter.drawEllipse(at, 3.0, 3.0);
}

struct Bounds {
    double minX, minY, maxX, maxY;
};

// A polyline's or an arc's outline in drawing units.
std::vector<Point2> Outline(const Entity& entity) {
    std::vector<Point2> points;
    if (entity.kind == EntityKind::Arc) {
        AppendArc(points, {entity.position.x, entity.position.y}, entity.radius,
                  entity.startAngle * std::numbers::pi / 180,
                  ArcSweep(entity.startAngle, entity.endAngle), true);
        return points;
    }
    const auto& vertices = entity.vertices;
    if (vertices.empty()) return points;
    points.push_back({vertices[0].x, vertices[0].y});
    for (std::size_t i = 0; i + 1 < vertices.size(); ++i)
        AppendBulge(points, {vertices[i + 1].x, vertices[i + 1].y}, vertices[i].bulge);
    if (entity.closed && vertices.size() > 2)
        AppendBulge(points, {vertices[0].x, vertices[0].y}, vertices.back().bulge);
    return points;
}

Bounds BoundsOf(const Entity& entity) {
    if (entity.kind == EntityKind::Line) {
        return {
            std::min(entity.position.x, entity.end.x), std::min(entity.position.y, entity.end.y),
            std::max(entity.position.x, entity.end.x), std::max(entity.position.y, entity.end.y)};
    }
    if (entity.kind == EntityKind::Polyline) {
        Bounds b{entity.position.x, entity.position.y, entity.position.x, entity.position.y};
        for (const Vertex& v : entity.vertices) {
            b = {std::min(b.minX, v.x), std::min(b.minY, v.y), std::max(b.maxX, v.x),
                 std::max(b.maxY, v.y)};
        }
        return b;
    }
    const Point3 at = entity.kind == EntityKind::Text ? TextAnchor(entity) : entity.position;
    // A text may reach well beyond its anchor; its height is a fair guess.
    const double reach = entity.kind == EntityKind::Text
                             ? entity.height * std::max<std::size_t>(entity.text.size(), 1)
                             : entity.radius;
    return {at.x - reach, at.y - reach, at.x + reach, at.y + reach};
}

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
        const Bounds b = BoundsOf(entity);
        minX = std::min(minX, b.minX);
        maxX = std::max(maxX, b.maxX);
        minY = std::min(minY, b.minY);
        maxY = std::max(maxY, b.maxY);
    }
    for (const ContextShape& shape : drawing_.context) {
        minX = std::min(minX, shape.minX);
        maxX = std::max(maxX, shape.maxX);
        minY = std::min(minY, shape.minY);
        maxY = std::max(maxY, shape.maxY);
    }
    if (minX > maxX) minX = maxX = minY = maxY = 0;
    centreX_ = (minX + maxX) / 2;
    centreY_ = (minY + maxY) / 2;
    const double spanX = std::max(maxX - minX, 1.0), spanY = std::max(maxY - minY, 1.0);
    scale_ = 0.9 * std::min(width() / spanX, height() / spanY);
    // Before the view is shown its size is not yet its own: fit again then.
    fitted_ = isVisible();
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
    // A text's height is the height of its capitals.
    QFont textFont = painter.font();
    textFont.setPixelSize(100);
    const double capRatio = std::max(QFontMetricsF(textFont).capHeight() / 100, 0.3);
    QFontMetricsF textMetrics(textFont);
    QColor penColour;
    bool penLit = false, antialiased = true;
    QImage pointStamp(2 * kStampHalf + 1, 2 * kStampHalf + 1, QImage::Format_ARGB32_Premultiplied);
    pointStamp.fill(Qt::transparent);
    {
        QPainter stamp(&pointStamp);
        stamp.setPen(kPointColour);
        DrawPointSymbol(stamp, QPointF(kStampHalf, kStampHalf));
    }
    // A text stands on its anchor; centred ones on the middle of the text,
    // right ones on its end.
    auto drawText = [&](const std::string& utf8, double x, double y, double height, double rotation,
                        int horizontal) {
        const double pixels = height * scale_;
        if (pixels < 2) return;
        const int pixelSize = std::max(1, int(std::lround(pixels / capRatio)));
        if (pixelSize != textFont.pixelSize()) {
            textFont.setPixelSize(pixelSize);
            painter.setFont(textFont);
            textMetrics = QFontMetricsF(textFont);
        }
        const QString text = QString::fromStdString(utf8);
        const double shift =
            horizontal == 0 ? 0 : textMetrics.horizontalAdvance(text) * horizontal / 2;
        painter.save();
        painter.translate(ToScreen(x, y));
        if (rotation != 0) painter.rotate(-rotation * 180 / std::numbers::pi);
        painter.drawText(QPointF(-shift, 0), text);
        painter.restore();
    };
    // Only what the view shows is drawn.
    const QPointF topLeft = ToDrawing({0, 0}), bottomRight = ToDrawing(QPointF(width(), height()));
    const Bounds shown{topLeft.x(), bottomRight.y(), bottomRight.x(), topLeft.y()};
    // The drawing's context first, under its entities.
    painter.setPen(kContextColour);
    penColour = kContextColour;
    std::vector<QPointF> points;
    for (const ContextShape& shape : drawing_.context) {
        if (shape.maxX < shown.minX || shape.minX > shown.maxX || shape.maxY < shown.minY ||
            shape.minY > shown.maxY)
            continue;
        if (shape.outline.empty()) {
            drawText(shape.text, shape.at.x, shape.at.y, shape.height, shape.rotation,
                     shape.horizontal);
            continue;
        }
        points.clear();
        for (const Point2& p : shape.outline) points.push_back(ToScreen(p.x, p.y));
        if (shape.closed)
            painter.drawPolygon(points.data(), int(points.size()));
        else
            painter.drawPolyline(points.data(), int(points.size()));
    }
    for (const auto& [id, entity] : drawing_.entities) {
        const Bounds b = BoundsOf(entity);
        if (b.maxX < shown.minX || b.minX > shown.maxX || b.maxY < shown.minY ||
            b.minY > shown.maxY)
            continue;
        const bool lit = !highlighted_.empty() && highlighted_.count(id) > 0;
        const QColor& colour = lit                                 ? kHighlight
                               : entity.kind == EntityKind::Point  ? kPointColour
                               : entity.kind == EntityKind::Circle ? kCircleColour
                               : entity.kind == EntityKind::Text   ? kTextColour
                                                                   : kContextColour;
        // Pens and render hints change only when they must: most entities
        // share them, and a change costs more than a small shape.
        if (colour != penColour || lit != penLit) {
            QPen pen(colour);
            if (lit) pen.setStyle(Qt::DashLine);
            pen.setWidthF(lit ? 2 : 1);
            painter.setPen(pen);
            penColour = colour;
            penLit = lit;
        }
        const bool smooth = entity.kind == EntityKind::Circle ? entity.radius * scale_ >= 3
                                                              : entity.kind != EntityKind::Point;
        if (smooth != antialiased) {
            painter.setRenderHint(QPainter::Antialiasing, smooth);
            antialiased = smooth;
        }
        switch (entity.kind) {
            case EntityKind::Point: {
                // Point style "cross in a circle", a fixed size on screen:
                // stamped from one image unless highlighted.
                const QPointF at = ToScreen(entity.position.x, entity.position.y);
                if (!lit) {
                    painter.drawImage(at - QPointF(kStampHalf, kStampHalf), pointStamp);
                    break;
                }
                DrawPointSymbol(painter, at);
                break;
            }
            case EntityKind::Circle: {
                const double r = std::max(entity.radius * scale_, 1.0);
                painter.drawEllipse(ToScreen(entity.position.x, entity.position.y), r, r);
                break;
            }
            case EntityKind::Text: {
                static constexpr int kHorizontal[] = {0, 1, 2, 0, 1, 0, 0, 1, 2, 0, 1, 2, 0, 1, 2};
                const int horizontal = entity.alignment >= 0 && entity.alignment < 15
                                           ? kHorizontal[entity.alignment]
                                           : 0;
                const Point3 anchor = TextAnchor(entity);
                drawText(entity.text, anchor.x, anchor.y, entity.height, entity.rotation,
                         horizontal);
                break;
            }
            case EntityKind::Line:
                painter.drawLine(ToScreen(entity.position.x, entity.position.y),
                                 ToScreen(entity.end.x, entity.end.y));
                break;
            case EntityKind::Arc:
            case EntityKind::Polyline: {
                points.clear();
                for (const Point2& p : Outline(entity)) points.push_back(ToScreen(p.x, p.y));
                painter.drawPolyline(points.data(), int(points.size()));
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
    ZoomBy(std::pow(1.2, event->angleDelta().y() / 120.0), event->position());
}

void DrawingView::ZoomBy(double factor, QPointF about) {
    const QPointF before = ToDrawing(about);
    scale_ = std::clamp(scale_ * factor, 1e-6, 1e6);
    const QPointF after = ToDrawing(about);
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
