#include "physics/CPCircleShape.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"
#include "physics/ChipmunkInternals.hpp"

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
    // Without a library shape (made on a freed body) there is no world position to give.
    const auto* circle = static_cast<const cpShape*>(GetHandle());
    return circle ? FromCp(CircleWorldCenter(circle)) : offset_;
}
