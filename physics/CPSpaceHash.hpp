#pragma once

#include "physics/CPObject.hpp"

class CPShape;

// shape: non-owning, valid during the call. The result is ignored.
using CPHashCallback = int (*)(CPShape* shape, void* data);

// View of one of a space's two shape sets: the shapes added with AddShape (active) or with
// AddStaticShape (static). Made by CPSpace::GetActiveShapes / GetStaticShapes.
class CPSpaceHash : public CPObject {
  public:
    // Calls cb once for every shape of the set; cb must not add or remove shapes of that set.
    // Does nothing once the space is gone.
    void ForEach(CPHashCallback cb, void* data);

  private:
    friend class CPSpace;
    CPSpaceHash(CPSpace* space, int listKind);
    CPSpace* space_; // non-owning: cleared by the space when it goes away
    int listKind_;
};
