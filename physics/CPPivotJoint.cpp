#include "physics/CPPivotJoint.hpp"

#include "physics/CPBody.hpp"
#include "physics/ChipmunkGlue.hpp"

std::shared_ptr<CPPivotJoint> CPPivotJoint::Create(const std::shared_ptr<CPBody>& a,
                                                   const std::shared_ptr<CPBody>& b, CPVect anchor1,
                                                   CPVect anchor2) {
    std::shared_ptr<CPPivotJoint> joint(new CPPivotJoint());
    void* handle = nullptr;
    if (Usable(a, b)) {
        handle =
            cpPivotJointNew2(static_cast<cpBody*>(a->GetHandle()),
                             static_cast<cpBody*>(b->GetHandle()), ToCp(anchor1), ToCp(anchor2));
    }
    joint->Attach(handle, a, b);
    return joint;
}
