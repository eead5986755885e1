#include "physics/CPSegmentShape.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

std::shared_ptr<CPSegmentShape> CPSegmentShape::Create(const std::shared_ptr<CPBody>& body,
                                                       CPVect a, CPVect b, float radius) {
    std::shared_ptr<CPSegmentShape> shape(new CPSegmentShape());
    shape->a_ = a;
    shape->b_ = b;
    shape->radius_ = radius;
    void* handle = nullptr;
    if (body && !body->IsFreed()) {
        handle =
            cpSegmentShapeNew(static_cast<cpBody*>(body->GetHandle()), ToCp(a), ToCp(b), radius);
    }
    shape->Attach(handle, body);
    return shape;
}
