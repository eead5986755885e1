#pragma once

#include <memory>
#include <span>
#include <vector>

#include "bodies/LiveBody.hpp"
#include "bodies/Material.hpp"
#include "media/graphics/Draw.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPShape.hpp"
#include "physics/CPVect.hpp"
#include "physics/ConvexSplit.hpp"
#include "world/TLayer.hpp"

// A body the user drew: a polygon (split into convex pieces, one shape each, on one body) or a
// circle, of one material, free (falls) or fixed (holds still; others collide with it). Its
// shapes collide and are grabbed like a cube's (collision type 1). Drawn filled in its
// material's colour with a darker edge.
class TDrawn : public LiveBody<TDrawn> {
  public:
    // A new polygon body in `layer_`'s space from a closed outline in world pixels (either
    // winding), its centre at the outline's centroid, at rest, angle 0. nullptr with `fault` set
    // when the outline is refused (nothing is made then); fault None otherwise. The body lives
    // in liveList until it falls off the level or is removed.
    static TDrawn* CreatePolygon(const std::shared_ptr<TLayer>& layer_,
                                 std::span<const CPVect> worldOutline, Material material,
                                 bool fixed, OutlineFault& fault);
    // The same in the class-wide `layer` (set by an earlier creation or assigned). It must be
    // set: ClearAll (a reset, opening a scene) forgets it, so callers that may create the first
    // drawn body after one pass the layer instead.
    static TDrawn* CreatePolygon(std::span<const CPVect> worldOutline, Material material,
                                 bool fixed, OutlineFault& fault);
    // A new circle body centred on `centre` (world pixels) of `radius` pixels. Refused (nullptr)
    // with NotFinite, TooThin (diameter under kMinPieceWidth) or TooLarge.
    static TDrawn* CreateCircle(const std::shared_ptr<TLayer>& layer_, CPVect centre, float radius,
                                Material material, bool fixed, OutlineFault& fault);
    static TDrawn* CreateCircle(CPVect centre, float radius, Material material, bool fixed,
                                OutlineFault& fault);
    // A polygon body from pieces already convex and in body coordinates (as Pieces() gives
    // them, e.g. read from a scene file), its centre at `centre`: 1 to kMaxConvexPieces pieces,
    // each passing CheckConvexPiece; else nullptr with the fault of the first bad one.
    static TDrawn* CreatePieces(const std::shared_ptr<TLayer>& layer_,
                                const std::vector<std::vector<CPVect>>& pieces, CPVect centre,
                                Material material, bool fixed, OutlineFault& fault);

    Material material() const { return _material; }
    // Density, friction and bounce of every shape change in place; a free body's mass and
    // moment follow (its speed stays).
    void setMaterial(Material m);
    bool fixed() const { return _fixed; }
    // Fixed: the body stops where it is and holds still (the library's static body, shapes
    // re-indexed); free: it is simulated again, at rest, with its material's mass. Bodies
    // resting on it wake.
    void setFixed(bool f);
    // The rigid body (non-owning; valid until the instance is removed or cleared).
    CPBody* Body() const { return _body.get(); }
    // Convex pieces in body coordinates (empty for a circle), as made at creation.
    const std::vector<std::vector<CPVect>>& Pieces() const { return _pieces; }
    // Circle radius in pixels; 0 for a polygon body.
    float Radius() const { return _radius; }
    bool IsCircle() const { return _radius > 0.0f; }
    // Teleports the body: centre (world pixels) and angle (degrees); no speed afterwards. A fixed
    // body's shapes are re-indexed and what rested on it wakes.
    void moveTo(CPVect centre, float angleDegrees);
    // Area in square pixels (all pieces, or the circle).
    double Area() const;

    // The off-level test (a fixed body too: it may be moved off the level).
    void update();
    // Draws in world coordinates; leaves the drawing state as it found it (white, alpha 1,
    // Blend::Mask, rotation 0). Skipped when off the picture.
    void Draw();
    // World point of the body's centre (pixels; valid while the body exists).
    CPVect DrawCentre() const;
    // How far from DrawCentre the body reaches at any angle (pixels).
    float DrawReach() const { return _reach; }

    std::shared_ptr<CPBody> _body;
    std::vector<std::shared_ptr<CPShape>> _shapes;
    int _life = 0;

  private:
    friend class LiveBody<TDrawn>;
    // Builds the body and its shapes from _pieces or _radius in `layer`'s space.
    void build(CPVect centre);
    // Mass (area x density) and moment of the free body from its shapes.
    void applyMass();
    // Frees every physics object; safe to call twice (remove, ClearAll).
    void release();
    // Works out, in body coordinates, what Draw draws (it then only turns and moves it): done
    // at creation and when the material changes, so that drawing allocates nothing.
    void prepareLook();

    // What Draw draws, in body coordinates: filled convex polygons in order, each its own
    // colour (insides, edges, stripes, bolts), handed over in one call.
    struct Look {
        std::vector<CPVect> corners;
        std::vector<int> counts;
        std::vector<DrawColour> colours;
        std::vector<DrawPoint> placed; // corners turned and moved, refilled by every Draw
        bool seeThrough = false;       // some polygon is not opaque
    };
    Look _look;

    std::vector<std::vector<CPVect>> _pieces;
    float _radius = 0.0f;
    float _reach = 0.0f;
    Material _material = Material::Wood;
    bool _fixed = false;
};
