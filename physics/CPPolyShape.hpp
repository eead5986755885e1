#pragma once

#include <span>
#include <vector>

#include "physics/CPShape.hpp"

class CPPolyShape : public CPShape {
  public:
    // Convex polygon; verts in body coordinates (either winding), shifted by offset.
    static std::shared_ptr<CPPolyShape> Create(const std::shared_ptr<CPBody>& body,
                                               std::span<const CPVect> verts, CPVect offset);
    std::vector<CPVect> GetVerts() const; // new copy, body coordinates, in the order given
    int GetVertCount() const { return static_cast<int>(verts_.size()); }
    CPVect GetVert(int i) const { return verts_[static_cast<std::size_t>(i)]; } // no allocation

  private:
    CPPolyShape() = default;
    std::vector<CPVect> verts_;
};
