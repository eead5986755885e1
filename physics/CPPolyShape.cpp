#include "physics/CPPolyShape.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

namespace {
constexpr std::size_t kMaxVerts = 64;
}

std::shared_ptr<CPPolyShape> CPPolyShape::Create(const std::shared_ptr<CPBody>& body,
                                                 std::span<const CPVect> verts, CPVect offset) {
    std::shared_ptr<CPPolyShape> shape(new CPPolyShape());
    shape->verts_.reserve(verts.size());
    for (CPVect v : verts) {
        shape->verts_.push_back(v.Add(offset));
    }
    void* handle = nullptr;
    const std::size_t n = shape->verts_.size();
    if (body && !body->IsFreed() && n >= 3 && n <= kMaxVerts) {
        // The library wants its vertices counter-clockwise (positive signed area) and would
        // otherwise take the hull and reorder them; our vertex lists come in the other winding,
        // so they are reversed on the way in and kept in their own order for GetVerts.
        cpVect cp[kMaxVerts];
        double area = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const CPVect a = shape->verts_[i], b = shape->verts_[(i + 1) % n];
            area += double(a.x) * b.y - double(b.x) * a.y;
        }
        for (std::size_t i = 0; i < n; ++i) {
            cp[i] = ToCp(shape->verts_[area >= 0.0 ? i : n - 1 - i]);
        }
        handle = cpPolyShapeNewRaw(static_cast<cpBody*>(body->GetHandle()), static_cast<int>(n), cp,
                                   0.0);
    }
    shape->Attach(handle, body);
    return shape;
}

std::vector<CPVect> CPPolyShape::GetVerts() const {
    return verts_;
}
