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

const QColor& ColourOf(const Entity& entity, bool lit) {
    return lit                                 ? kHighlight
           : entity.kind == EntityKind::Point  ? kPointColour
           : entity.kind == EntityKind::Circle ? kCircleColour
           : entity.kind == EntityKind::Text   ? kTextColour
                                               : kContextColour;
}

// Pens and render hints change only when they must: most entities share
// them, and a change costs more than a small shape.
class Pen {
  public:
    explicit Pen(QPainter& painter) : painter_(painter) {
        painter_.setPen(kContextColour);
        colour_ = kContextColour;
    }

    void Use(const QColor& colour, bool lit, bool smooth) {
        if (colour != colour_ || lit != lit_) {
            QPen pen(colour);
            if (lit) pen.setStyle(Qt::DashLine);
            pen.setWidthF(lit ? 2 : 1);
            painter_.setPen(pen);
            colour_ = colour;
            lit_ = lit;
        }
        if (smooth != smooth_) {
            painter_.setRenderHint(QPainter::Antialiasing, smooth);
            smooth_ = smooth;
        }
    }

  private:
    QPainter& painter_;
    QColor colour_;
    bool lit_ = false, smooth_ = true;
};

}  // namespace

// Texts stand on their anchor (centred ones on the middle of the text,
// right ones on its end), as tall as their capitals; the font changes only
// with the size.
class TextPainter {
  public:
    explicit TextPainter(QPainter& painter)
        : painter_(painter), font_(Sized(painter.font(), 100)), metrics_(font_) {
        capRatio_ = std::max(metrics_.capHeight() / 100, 0.3);
    }

    void Draw(const std::string& utf8, QPointF at, double pixels, double rotation, int horizontal) {
        if (!(pixels >= 2)) return;
        // Clamped as a double: a file's text may be of any height.
        const double size = std::clamp(std::round(pixels / capRatio_), 1.0, 2147483647.0);
        if (int(size) != size_) {  // the painter's own font until the first text
            size_ = int(size);
            font_.setPixelSize(size_);
            painter_.setFont(font_);
            metrics_ = QFontMetricsF(font_);
        }
        const QString text = QString::fromStdString(utf8);
        const double shift =
            horizontal == 0 ? 0 : metrics_.horizontalAdvance(text) * horizontal / 2;
        painter_.save();
        painter_.translate(at);
        if (rotation != 0) painter_.rotate(-rotation * 180 / std::numbers::pi);
        painter_.drawText(QPointF(-shift, 0), text);
        painter_.restore();
    }

  private:
    static QFont Sized(QFont font, int pixels) {
        font.setPixelSize(pixels);
        return font;
    }

    QPainter& painter_;
    QFont font_;
    QFontMetricsF metrics_;
    double capRatio_ = 1;
    int size_ = 0;  // of the font the painter has
};

namespace {

DrawingView::Bounds BoundsOf(const Entity& entity) {
    if (entity.kind == EntityKind::Line) {
        return {
            std::min(entity.position.x, entity.end.x), std::min(entity.position.y, entity.end.y),
            std::max(entity.position.x, entity.end.x), std::max(entity.position.y, entity.end.y)};
    }
    if (entity.kind == EntityKind::Polyline) {
        DrawingView::Bounds b{entity.position.x, entity.position.y, entity.position.x,
                              entity.position.y};
        for (const Vertex& v : entity.vertices) {
            b = {std::min(b.minX, v.x), std::min(b.minY, v.y), std::max(b.maxX, v.x),
                 std::max(b.maxY, v.y)};
        }
        return b;
    }
    const Point3 at = entity.kind == EntityKind::Text ? TextAnchor(entity) : entity.position;
    // A text may reach well beyond its anchor; its height is a fair guess.
    const double reach =
        entity.kind == EntityKind::Text
            ? entity.height * static_cast<double>(std::max<std::size_t>(entity.text.size(), 1))
            : entity.radius;
    return {at.x - reach, at.y - reach, at.x + reach, at.y + reach};
}

bool Overlaps(double minX, double minY, double maxX, double maxY, const DrawingView::Bounds& b) {
    return !(maxX < b.minX || minX > b.maxX || maxY < b.minY || minY > b.maxY);
}

}  // namespace

DrawingView::DrawingView(const Drawing& drawing, QWidget* parent)
    : QWidget(parent),
      drawing_(drawing),
      pointStamp_(2 * kStampHalf + 1, 2 * kStampHalf + 1, QImage::Format_ARGB32_Premultiplied) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(400, 300);
    setAutoFillBackground(false);
    pointStamp_.fill(Qt::transparent);
    QPainter stamp(&pointStamp_);
    stamp.setPen(kPointColour);
    DrawPointSymbol(stamp, QPointF(kStampHalf, kStampHalf));
}

void DrawingView::DrawingChanged() {
    stale_ = true;
    update();
}

// Once after each change, however many came before the next paint.
void DrawingView::TakeBounds() {
    if (!stale_ && placed_.size() == drawing_.entities.size()) return;
    stale_ = false;
    placed_.clear();
    placed_.reserve(drawing_.entities.size());
    Bounds all{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
               std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    const auto add = [&all](const Bounds& b) {
        all = {std::min(all.minX, b.minX), std::min(all.minY, b.minY), std::max(all.maxX, b.maxX),
               std::max(all.maxY, b.maxY)};
    };
    for (const auto& [id, entity] : drawing_.entities) {
        placed_.push_back({&entity, BoundsOf(entity)});
        add(placed_.back().bounds);
    }
    for (const ContextShape& shape : drawing_.context)
        add({shape.minX, shape.minY, shape.maxX, shape.maxY});
    if (all.minX > all.maxX) all = {0, 0, 0, 0};
    extents_ = all;
}

void DrawingView::BeginEntityPick(std::function<void(bool)> done) {
    BeginPick({}, std::move(done));
    single_ = true;
}

void DrawingView::BeginPick(const SelectionFilter& filter, std::function<void(bool)> done) {
    picking_ = true;
    single_ = false;
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
    TakeBounds();
    const Bounds& b = extents_;
    centreX_ = (b.minX + b.maxX) / 2;
    centreY_ = (b.minY + b.maxY) / 2;
    const double spanX = std::max(b.maxX - b.minX, 1.0), spanY = std::max(b.maxY - b.minY, 1.0);
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

// Only what the view shows is drawn.
DrawingView::Bounds DrawingView::Shown() const {
    const QPointF topLeft = ToDrawing({0, 0}), bottomRight = ToDrawing(QPointF(width(), height()));
    return {topLeft.x(), bottomRight.y(), bottomRight.x(), topLeft.y()};
}

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing);
    TakeBounds();
    TextPainter texts(painter);
    const Bounds shown = Shown();
    PaintContext(painter, texts, shown);  // under the entities
    PaintEntities(painter, texts, shown);
    if (dragging_) PaintDragBox(painter);
}

// The shapes of a picked block reference are lit as the entity is.
void DrawingView::PaintContext(QPainter& painter, TextPainter& texts, const Bounds& shown) {
    Pen pen(painter);
    for (const ContextShape& shape : drawing_.context) {
        if (!Overlaps(shape.minX, shape.minY, shape.maxX, shape.maxY, shown)) continue;
        const bool lit = shape.owner != 0 && highlighted_.count(shape.owner) > 0;
        pen.Use(lit ? kHighlight : kContextColour, lit, true);
        PaintShape(painter, texts, shape);
    }
}

void DrawingView::PaintShape(QPainter& painter, TextPainter& texts, const ContextShape& shape) {
    if (shape.outline.empty()) {
        texts.Draw(shape.text, ToScreen(shape.at.x, shape.at.y), shape.height * scale_,
                   shape.rotation, shape.horizontal);
        return;
    }
    points_.clear();
    for (const Point2& p : shape.outline) points_.push_back(ToScreen(p.x, p.y));
    if (shape.closed)
        painter.drawPolygon(points_.data(), int(points_.size()));
    else
        painter.drawPolyline(points_.data(), int(points_.size()));
}

void DrawingView::PaintEntities(QPainter& painter, TextPainter& texts, const Bounds& shown) {
    Pen pen(painter);
    // The entities in one array: most lie outside and are passed over.
    for (const auto& [placed, b] : placed_) {
        if (!Overlaps(b.minX, b.minY, b.maxX, b.maxY, shown)) continue;
        const Entity& entity = *placed;
        const bool lit = !highlighted_.empty() && highlighted_.count(entity.id) > 0;
        const bool smooth = entity.kind == EntityKind::Circle ? entity.radius * scale_ >= 3
                                                              : entity.kind != EntityKind::Point;
        pen.Use(ColourOf(entity, lit), lit, smooth);
        PaintEntity(painter, texts, entity, lit);
    }
}

void DrawingView::PaintEntity(QPainter& painter, TextPainter& texts, const Entity& entity,
                              bool lit) {
    static constexpr int kHorizontal[] = {0, 1, 2, 0, 1, 0, 0, 1, 2, 0, 1, 2, 0, 1, 2};
    const QPointF at = ToScreen(entity.position.x, entity.position.y);
    switch (entity.kind) {
        case EntityKind::Point:
            // Point style "cross in a circle", a fixed size on screen:
            // stamped from one image unless highlighted.
            if (lit)
                DrawPointSymbol(painter, at);
            else
                painter.drawImage(at - QPointF(kStampHalf, kStampHalf), pointStamp_);
            break;
        case EntityKind::Circle: {
            const double r = std::max(entity.radius * scale_, 1.0);
            painter.drawEllipse(at, r, r);
            break;
        }
        case EntityKind::Text: {
            const bool known = entity.alignment >= 0 && entity.alignment < 15;
            const Point3 anchor = TextAnchor(entity);
            texts.Draw(entity.text, ToScreen(anchor.x, anchor.y), entity.height * scale_,
                       entity.rotation, known ? kHorizontal[entity.alignment] : 0);
            break;
        }
        case EntityKind::BlockReference:
            // Drawn by its block's shapes; picked, its insertion point shows too.
            if (lit) painter.drawRect(QRectF(at - QPointF(3, 3), QSizeF(6, 6)));
            break;
        case EntityKind::Line:
        case EntityKind::Arc:
        case EntityKind::Polyline:
            points_.clear();
            for (const Point2& p : EntityOutline(entity)) points_.push_back(ToScreen(p.x, p.y));
            painter.drawPolyline(points_.data(), int(points_.size()));
            break;
    }
}

void DrawingView::PaintDragBox(QPainter& painter) const {
    const bool crossing = dragNow_.x() < dragStart_.x();
    QPen pen(crossing ? QColor(80, 200, 80) : QColor(80, 120, 255));
    pen.setStyle(crossing ? Qt::DashLine : Qt::SolidLine);
    painter.setPen(pen);
    QColor fill = pen.color();
    fill.setAlpha(50);
    painter.setBrush(fill);
    painter.drawRect(QRect(dragStart_, dragNow_).normalized());
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
        EndPick(!single_);
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
    if (dragging_ && single_) {  // one entity is picked by a click, never by a window
        dragging_ = false;
        update();
        return;
    }
    if (dragging_) {
        const QPointF a = ToDrawing(dragStart_), b = ToDrawing(dragNow_);
        const Box box{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
                      std::max(a.y(), b.y())};
        dragging_ = false;
        Take(PickInBox(drawing_, filter_, box, dragNow_.x() < dragStart_.x()));
        return;
    }
    const QPointF at = ToDrawing(event->position());
    if (single_) return ClickToPickOne(at);
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

// One entity of any kind, or nothing: the pick ends either way.
void DrawingView::ClickToPickOne(QPointF at) {
    const auto id = PickAnyAt(drawing_, at.x(), at.y(), kPickBoxPixels / scale_);
    if (id) {
        picked_ = {*id};
        pickedAt_ = {at.x(), at.y(), 0};
    }
    EndPick(id.has_value());
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
            EndPick(!single_);
            break;
        case Qt::Key_Escape:
            EndPick(false);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace velmora::standins
