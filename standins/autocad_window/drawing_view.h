// Draws the stand-in's drawing and runs the interactive pick: a click picks
// one entity (with Shift, drops it again), a drag picks by window (left to right: inside; right to
// left: crossing), Enter, Space or a right click finishes, Esc cancels. The wheel zooms about the
// cursor and a middle drag pans.
#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QWidget>
#include <functional>
#include <set>
#include <vector>

#include "standins/drawing/drawing.h"
#include "standins/drawing/selection_filter.h"

class QPainter;

namespace velmora::standins {

class TextPainter;  // draws the texts of one paint

class DrawingView : public QWidget {
    Q_OBJECT

  public:
    explicit DrawingView(const Drawing& drawing, QWidget* parent = nullptr);

    // The drawing changed (entities added, changed or erased, another file
    // opened): it is drawn anew, its bounds taken again first.
    void DrawingChanged();

    // Begins a pick; `done` is called once with true (finished) or false
    // (cancelled).
    void BeginPick(const SelectionFilter& filter, std::function<void(bool finished)> done);
    // Begins the pick of one entity of any kind; `done` is called once,
    // with true when an entity was picked (Picked() holds it, PickedAt()
    // where it was clicked).
    void BeginEntityPick(std::function<void(bool picked)> done);
    void EndPick(bool finished);
    bool Picking() const { return picking_; }
    const std::vector<EntityId>& Picked() const { return picked_; }
    Point3 PickedAt() const { return pickedAt_; }

    void ZoomExtents();
    // Zooms in (factor above 1) or out, keeping the drawing point under
    // `about` where it is.
    void ZoomBy(double factor, QPointF about);
    // Where a drawing point shows in the view.
    QPointF ToScreen(double x, double y) const;

    // Where an entity or the whole drawing lies, in drawing units.
    struct Bounds {
        double minX, minY, maxX, maxY;
    };

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPointF ToDrawing(QPointF screen) const;
    void Take(const std::vector<EntityId>& ids);
    void TakeBounds();
    Bounds Shown() const;
    void PaintContext(QPainter& painter, TextPainter& texts, const Bounds& shown);
    void PaintShape(QPainter& painter, TextPainter& texts, const ContextShape& shape);
    void ClickToPickOne(QPointF at);
    void PaintEntities(QPainter& painter, TextPainter& texts, const Bounds& shown);
    void PaintEntity(QPainter& painter, TextPainter& texts, const Entity& entity, bool lit);
    void PaintDragBox(QPainter& painter) const;

    const Drawing& drawing_;
    // Each entity with its bounds, in the drawing's order; valid until the
    // drawing changes, which DrawingChanged() must hear of.
    struct Placed {
        const Entity* entity;
        Bounds bounds;
    };
    std::vector<Placed> placed_;
    bool stale_ = true;                             // the drawing changed since
    Bounds extents_{};                              // of the entities and the context
    QImage pointStamp_;                             // a point's symbol, stamped where it stands
    std::vector<QPointF> points_;                   // an outline on screen, reused
    double centreX_ = 0, centreY_ = 0, scale_ = 1;  // pixels per drawing unit
    bool fitted_ = false;

    bool picking_ = false;
    bool single_ = false;  // one entity, of any kind
    Point3 pickedAt_;
    SelectionFilter filter_;
    std::function<void(bool)> done_;
    std::vector<EntityId> picked_;
    std::set<EntityId> highlighted_;

    bool dragging_ = false;
    QPoint dragStart_, dragNow_;
    bool panning_ = false;
    QPoint panLast_;
};

}  // namespace velmora::standins
