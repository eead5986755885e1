#include "physics/CPSlideJoint.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

std::shared_ptr<CPSlideJoint> CPSlideJoint::Create(const std::shared_ptr<CPBody>& a,
                                                   const std::shared_ptr<CPBody>& b, CPVect anchor1,
                                                   CPVect anchor2, float min, float max) {
    std::shared_ptr<CPSlideJoint> joint(new CPSlideJoint());
    void* handle = nullptr;
    if (Usable(a, b)) {
        handle = cpSlideJointNew(static_cast<cpBody*>(a->GetHandle()),
                                 static_cast<cpBody*>(b->GetHandle()), ToCp(anchor1), ToCp(anchor2),
                                 min, max);
    }
    joint->Attach(handle, a, b);
    return joint;
}
