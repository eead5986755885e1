#pragma once

#include <memory>

#include "bodies/LiveBody.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// A small round stone drawn with the ball image at half size.
class TPebble : public LiveBody<TPebble> {
  public:
    struct Params {
        float radius = 0.0f;
        float mass = 0.0f;
        int life = 0;
    };
    // Body + circle (collision type 1) at p in layer's space.
    void Init(const std::shared_ptr<TLayer>& layer_, CPVect p, const Params& k);
    // The off-level test.
    void update();
    // The ball image at half size; leaves scale 1, blend 1.
    void Draw();

    std::shared_ptr<CPCircleShape> _shape;
    std::shared_ptr<CPBody> _body;
    int _life = 0;

  private:
    friend class LiveBody<TPebble>;
    void release();
};
