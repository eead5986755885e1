#include "physics/CPSimpleMotor.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

namespace {
cpConstraint* MotorOf(const CPObject& o) {
    return static_cast<cpConstraint*>(o.GetHandle());
}
// The library drives b's spin minus a's towards minus its rate: the sign flips here so that a
// positive rate turns b the way its angle grows.
cpFloat LibraryRate(float degreesPerSecond) {
    return -static_cast<cpFloat>(degreesPerSecond) / kDegreesPerRadian;
}
} // namespace

std::shared_ptr<CPSimpleMotor> CPSimpleMotor::Create(const std::shared_ptr<CPBody>& a,
                                                     const std::shared_ptr<CPBody>& b,
                                                     float degreesPerSecond) {
    std::shared_ptr<CPSimpleMotor> joint(new CPSimpleMotor());
    void* handle = nullptr;
    if (Usable(a, b)) {
        handle =
            cpSimpleMotorNew(static_cast<cpBody*>(a->GetHandle()),
                             static_cast<cpBody*>(b->GetHandle()), LibraryRate(degreesPerSecond));
    }
    joint->Attach(handle, a, b);
    return joint;
}

void CPSimpleMotor::SetRate(float degreesPerSecond) {
    if (cpConstraint* c = MotorOf(*this)) {
        cpSimpleMotorSetRate(c, LibraryRate(degreesPerSecond));
    }
}

float CPSimpleMotor::GetRate() const {
    const cpConstraint* c = MotorOf(*this);
    return c == nullptr ? 0.0f : static_cast<float>(-cpSimpleMotorGetRate(c) * kDegreesPerRadian);
}
