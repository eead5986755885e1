#include "physics/CPSpaceHash.hpp"

#include "physics/CPShape.hpp"
#include "physics/CPSpace.hpp"

CPSpaceHash::CPSpaceHash(CPSpace* space, int listKind) : space_(space), listKind_(listKind) {
    cpObjectPtr = space->GetHandle();
    parent = std::static_pointer_cast<CPSpace>(space->shared_from_this());
}

void CPSpaceHash::ForEach(CPHashCallback cb, void* data) {
    if (space_ == nullptr || cb == nullptr) {
        return;
    }
    // The space's own member list is walked rather than the library's index: the library files
    // a shape by its body's kind, while the program expects the set it added the shape to. The
    // size is re-read each round so that a misbehaving callback cannot walk off the end.
    const auto& members = space_->lists_[listKind_];
    for (std::size_t i = 0; i < members.size(); ++i) {
        cb(static_cast<CPShape*>(members[i].get()), data);
    }
}
