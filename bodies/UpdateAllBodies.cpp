#include "bodies/UpdateAllBodies.hpp"

#include "bodies/BodyClasses.hpp"
#include "bodies/TMachineJoint.hpp"

void UpdateAllBodies(const BodyPass& pass) {
    // Back to front: the classes drawn beneath, then the others in the list's order.
    for (const bool beneath : {true, false}) {
        for (const BodyClass* body : BodyClasses()) {
            if (body->drawnBeneath == beneath) {
                body->updateAll(pass);
            }
        }
    }
    // Joints over the bodies they join; a joint whose body left in this pass leaves now.
    TMachineJoint::UpdateAll(pass);
}
