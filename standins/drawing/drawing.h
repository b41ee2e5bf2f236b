// The stand-in AutoCAD's drawing: points, circles, texts and block
// references in world coordinates, lines, arcs and polylines drawn as
// context, and the current user coordinate system. Plain data, kept apart
// from the automation objects so that it can be loaded, saved and drawn on
// its own.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::standins {

struct Point3 {
    double x = 0, y = 0, z = 0;
    friend bool operator==(const Point3&, const Point3&) = default;
};

enum class EntityKind { Point, Circle, Text, Line, Arc, Polyline, BlockReference };

// A polyline's corner; bulge is the tangent of a quarter of the arc's angle
// to the next vertex (0 for a straight segment).
struct Vertex {
    double x = 0, y = 0, z = 0, bulge = 0;
    friend bool operator==(const Vertex&, const Vertex&) = default;
};

using EntityId = std::int64_t;

struct Entity {
    EntityId id = 0;
    EntityKind kind = EntityKind::Point;
    // A point's location, a circle's centre, a text's or a block reference's
    // insertion point.
    Point3 position;
    double radius = 0;
    std::string text;
    double height = 0;
    int alignment = 0;  // 0 left; 1 centre (alignment point = middle of the baseline); …
    Point3 alignmentPoint;
    // Kept from a drawing file so that saving writes them back.
    double rotation = 0;  // a text's angle, radians
    double widthFactor = 1;
    Point3 end;                           // a line's second point
    double startAngle = 0, endAngle = 0;  // an arc's, degrees counter-clockwise
    std::vector<Vertex> vertices;         // a polyline's
    bool closed = false;
    std::string layer = "0";
    // A block reference's block as AutoCAD names it (Name: "*U12" for an
    // anonymous one), and as the user sees it (EffectiveName: the dynamic
    // block it was made from, else the same).
    std::string blockName, effectiveName;
    int colour = 256;       // by layer
    bool fromFile = false;  // read from the drawing's file
    bool edited = false;    // a property was changed since
    friend bool operator==(const Entity&, const Entity&) = default;
};

// What a drawing file holds beyond the entities kept (block references,
// MTEXT, dimensions, hatches, solids, ellipses, splines …), resolved into
// outlines and texts in world coordinates: drawn, never picked, and saved
// only as the file's own text.
struct Point2 {
    double x = 0, y = 0;
    friend bool operator==(const Point2&, const Point2&) = default;
};

struct ContextShape {
    std::vector<Point2> outline;  // empty for a text
    bool closed = false;
    std::string text;                               // one line
    Point2 at;                                      // where a text stands
    double height = 0, rotation = 0;                // a text's; rotation in radians
    int horizontal = 0;                             // a text's: 0 left, 1 centre, 2 right of `at`
    double minX = 0, minY = 0, maxX = 0, maxY = 0;  // bounds
    EntityId owner = 0;                             // the block reference it draws, 0 for none
};

// The current user coordinate system: its origin in world coordinates and
// its rotation about Z in radians.
struct Ucs {
    Point3 origin;
    double rotation = 0;
};

// The text of the file a drawing was read from and where in it saving
// adds: labels go before `entitiesEnd` (the ENTITIES section's ENDSEC),
// $HANDSEED's value stands at [handSeedAt, handSeedAt + handSeedLength).
struct DrawingFile {
    std::string text;
    std::string version;  // $ACADVER
    std::size_t entitiesEnd = 0;
    std::size_t handSeedAt = 0, handSeedLength = 0;  // length 0: no $HANDSEED
    std::uint64_t nextHandle = 0;                    // above every handle in the file
    std::string modelSpace;                          // handle of the *Model_Space block record
    std::string lineEnd = "\n";
    std::size_t entityCount = 0;  // entities read into the drawing
};

struct Drawing {
    std::map<EntityId, Entity> entities;  // in creation order
    Ucs ucs;
    EntityId nextId = 1;
    // The code page of a drawing file's texts outside Unicode escapes, kept
    // for saving it again.
    std::string codePage = "ANSI_1252";
    std::shared_ptr<const DrawingFile> file;  // none for a drawing built in code
    std::vector<ContextShape> context;
};

EntityId AddPoint(Drawing& drawing, Point3 at);
EntityId AddCircle(Drawing& drawing, Point3 centre, double radius);
EntityId AddText(Drawing& drawing, std::string text, Point3 insertion, double height);
EntityId AddLine(Drawing& drawing, Point3 from, Point3 to);
EntityId AddPolyline(Drawing& drawing, std::vector<Vertex> vertices, bool closed);
// A block reference drawn as nothing (a drawing file's carry their blocks'
// shapes in the context); the effective name is the block's own when empty.
EntityId AddBlockReference(Drawing& drawing, Point3 at, std::string blockName,
                           std::string effectiveName = {});
// Takes an entity as it is, giving it the next id.
EntityId AddEntity(Drawing& drawing, Entity entity);
Entity* FindEntity(Drawing& drawing, EntityId id);
const Entity* FindEntity(const Drawing& drawing, EntityId id);
bool EraseEntity(Drawing& drawing, EntityId id);

// Lines, arcs and polylines are drawn but never picked.
bool IsContext(EntityKind kind);

// "POINT", "CIRCLE", "TEXT", "LINE", "ARC", "LWPOLYLINE", "INSERT": the
// names selection filters use.
std::string_view TypeName(EntityKind kind);
// "AcDbPoint" and the like.
std::string_view ObjectName(EntityKind kind);

// Where a text stands: its insertion point when left aligned, else its
// alignment point.
Point3 TextAnchor(const Entity& text);

// Curves as the points of an outline, in steps of about 5°: an arc from
// `start` sweeping `sweep` radians (negative: clockwise), its first point
// too when `withStart`; the segment from the last point to `to` bent by a
// bulge (the tangent of a quarter of its angle, positive counter-clockwise).
void AppendArc(std::vector<Point2>& points, Point2 centre, double radius, double start,
               double sweep, bool withStart);
void AppendBulge(std::vector<Point2>& points, Point2 to, double bulge);
// The steps of a curve sweeping `sweep` radians, about 5° each: at least
// `least`, at most 72, whatever the sweep (huge, or no number at all).
int CurveSteps(double sweep, int least);
// An arc's sweep from one angle to another counter-clockwise, in radians:
// a full turn when they are equal.
double ArcSweep(double startDegrees, double endDegrees);

// A line's, an arc's or a polyline's outline (empty for other kinds).
std::vector<Point2> EntityOutline(const Entity& entity);

// Renumbers the entities in their order from `first` on; the shapes that
// draw a block reference follow it.
void RenumberEntities(Drawing& drawing, EntityId first);

// Every text of the drawing, in creation order.
std::vector<const Entity*> Texts(const Drawing& drawing);

Point3 WorldToUcs(const Ucs& ucs, Point3 world);
Point3 UcsToWorld(const Ucs& ucs, Point3 local);
// Directions (displacements) turn without moving.
Point3 WorldToUcsDirection(const Ucs& ucs, Point3 world);
Point3 UcsToWorldDirection(const Ucs& ucs, Point3 local);

}  // namespace velmora::standins
