#include "physics/CPPinJoint.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

std::shared_ptr<CPPinJoint> CPPinJoint::Create(const std::shared_ptr<CPBody>& a,
                                               const std::shared_ptr<CPBody>& b, CPVect anchor1,
                                               CPVect anchor2) {
    std::shared_ptr<CPPinJoint> joint(new CPPinJoint());
    void* handle = nullptr;
    if (Usable(a, b)) {
        // The library measures the distance from the bodies' current placement.
        handle = cpPinJointNew(static_cast<cpBody*>(a->GetHandle()),
                               static_cast<cpBody*>(b->GetHandle()), ToCp(anchor1), ToCp(anchor2));
    }
    joint->Attach(handle, a, b);
    return joint;
}
