#pragma once

// What this layer needs of the physics library that its public interface does not offer. The
// one place that reads the library's private structures (ChipmunkInternals.cpp); included only
// by the physics .cpp files.

#include <chipmunk/chipmunk.h>

#include <utility>
#include <vector>

// Forgets every contact the space remembers, the way the library forgets stale ones: this
// step's contacts are unthreaded from their bodies, all go back to the space's pool, and an
// empty contact table takes the old one's place. Bodies and shapes stay. space: non-null.
void ForgetAllContacts(cpSpace* space);

// Lets go of the body's list of contacts without visiting them, for a space about to be freed
// whole: freeing wakes every body, and waking walks that list (all pairs, in a heap of bodies
// at one spot). The contacts themselves go with the space. body: non-null and awake (a sleeping
// body's contacts are freed only by waking it).
void DropContactList(cpBody* body);

// How many contacts the space remembers now: what the library walks whenever one shape is taken
// out of it. space: non-null.
int RememberedContacts(cpSpace* space);

// The world centre the library computed for a circle shape at its last step or indexing (it
// offers no getter for it). circle: non-null, made by cpCircleShapeNew.
cpVect CircleWorldCenter(const cpShape* circle);

// Sets a body's velocity as cpBodySetVelocity does, but without waking it or restarting its
// idle time (the library's setter does both). body: non-null.
void SetVelocityQuietly(cpBody* body, cpVect v);

// The number the space gave the shape when it was added (counting up from 0 in each space): a
// larger one was added later. shape: non-null, in a space.
cpHashValue ShapeAddedNumber(const cpShape* shape);
// Switches the space's two shape indexes to the library's bounding-box trees, as a new space
// has them (the library offers only the switch to a spatial hash): the shapes present, asleep
// ones too, are filed in the new trees and the old indexes freed. Remembered contacts stay.
// space: non-null, not inside a step.
void UseBoundingBoxTrees(cpSpace* space);

// Moves the contacts (the library's arbiters) of the space's awake bodies so that they lie in
// memory in the order the solver visits them, each step ten times over: the library hands out
// a freed contact's memory to the next new one, so after a few thousand bodies came and went
// the solver jumps about the heap, and a pile costs up to a fifth more than the same pile made
// afresh. Only addresses change: every contact keeps its values, its place in the solver's
// order and in the table that finds it, so the simulation goes on bit for bit as it would
// have. Contacts of sleeping bodies stay where they are. scratch: the caller's, reused between
// calls so that a call allocates nothing once it has grown. space: non-null, not in a step.
struct ContactLayoutScratch {
    std::vector<cpArbiter*> moving, slots, staying;
    std::vector<std::pair<cpArbiter*, cpArbiter*>> to; // old address, new, sorted by old
    std::vector<unsigned char> values;                 // the moving contacts' bytes
    std::vector<cpBody*> bodies;
    std::size_t CapacityBytes() const; // what the vectors hold, used or not
};
void LayOutContactsInSolverOrder(cpSpace* space, ContactLayoutScratch& scratch);
