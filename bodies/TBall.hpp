#pragma once

#include <memory>

#include "bodies/TObject.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// A round body drawn with a turning ball image and a fixed highlight; damped once per frame.
class TBall : public TObject {
  public:
    // New instance (Null shape/body, dead) appended to liveList (made on first call).
    static std::shared_ptr<TBall> Create();
    // Builds body + circle (collision type 1) at p in layer's space; stores layer class-wide.
    void Init(const std::shared_ptr<TLayer>& layer, CPVect p, float radius, float mass, int life,
              float elasticity, float friction);
    // Velocity x 0.98, then the off-level test (may set _life to 0).
    void update();
    // Draws in world coordinates (the caller sets the origin); leaves blend 1, rotation 0.
    void Draw();
    // World point Draw centres its pictures on (pixels; valid while the body exists).
    CPVect DrawCentre() const;
    // How far from DrawCentre the pictures reach at any angle: a 32 x 32 picture turned any way
    // (pixels).
    static constexpr float kDrawReach = 22.7f;
    // Frees body and shape, takes this ball out of liveList (may destroy it).
    void remove();
    // Per-frame pass over liveList: remove the dead, update and draw the living.
    static void UpdateAll();
    // Entries in liveList (0 while it is Null).
    static int Count();
    // Tests/tools: frees every ball's physics objects; liveList and layer back to Null.
    static void ClearAll();

    static std::unique_ptr<TList<std::shared_ptr<TBall>>> liveList;
    static std::shared_ptr<TLayer> layer;

    std::shared_ptr<CPCircleShape> _shape;
    std::shared_ptr<CPBody> _body;
    int _life = 0;

  private:
    void release();
};
