#include "physics/CPCircleShape.hpp"

#include <chipmunk/chipmunk_structs.h>

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

std::shared_ptr<CPCircleShape> CPCircleShape::Create(const std::shared_ptr<CPBody>& body,
                                                     float radius, CPVect offset) {
    std::shared_ptr<CPCircleShape> shape(new CPCircleShape());
    shape->radius_ = radius;
    shape->offset_ = offset;
    void* handle = nullptr;
    if (body && !body->IsFreed()) {
        handle = cpCircleShapeNew(static_cast<cpBody*>(body->GetHandle()), radius, ToCp(offset));
    }
    shape->Attach(handle, body);
    return shape;
}

CPVect CPCircleShape::GetTransformedCenter() const {
    // The library keeps the world centre it computed at the last step or indexing but offers
    // no getter for it; the struct layout is fixed for the library version we build against.
    const auto* circle = static_cast<const cpCircleShape*>(GetHandle());
    return circle ? FromCp(circle->tc) : offset_;
}
