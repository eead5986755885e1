#include "bodies/ClearAllBodies.hpp"

#include "bodies/BodyClasses.hpp"
#include "bodies/TMachineJoint.hpp"

void ClearAllBodies() {
    // The joints before the bodies they hold.
    TMachineJoint::ClearAll();
    // The classes drawn beneath first: a chain's end joints may hold stars or other bodies
    // released after it.
    for (const bool beneath : {true, false}) {
        for (const BodyClass* body : BodyClasses()) {
            if (body->drawnBeneath == beneath) {
                body->clearAll();
            }
        }
    }
}
