#pragma once

#include <memory>

#include "bodies/BodyPass.hpp"
#include "bodies/LiveBody.hpp"

class CPBody;

// What the frame, the hash, the overlay and the tools need of a body class, as plain function
// pointers so that one list can hold every class: one row per class, made by kBodyClass<T>.
struct BodyClass {
    // Drawn (and cleared) before the others: chains hang under everything.
    bool drawnBeneath;
    // T::UpdateAll: the class's per-frame pass.
    void (*updateAll)(const BodyPass& pass);
    // T::ClearAll: every instance released, the class back to no list.
    void (*clearAll)();
    // Instances listed (dead ones not yet removed included).
    int (*count)();
    // Every body of every listed instance, in creation order, to visit(body, context).
    void (*forEachBody)(void (*visit)(const std::shared_ptr<CPBody>& body, void* context),
                        void* context);
    // The body of the index-th listed instance; false when none (or no single body).
    bool (*bodyOf)(int index, std::shared_ptr<CPBody>& body);
};

template <class T> constexpr bool DrawnBeneath() {
    if constexpr (requires { T::kDrawnBeneath; }) {
        return T::kDrawnBeneath;
    } else {
        return false;
    }
}

// The row of a class derived from LiveBody<T>.
template <class T>
inline constexpr BodyClass kBodyClass{
    DrawnBeneath<T>(),   &LiveBody<T>::UpdateAll,       &LiveBody<T>::ClearAll,
    &LiveBody<T>::Count, &LiveBody<T>::ForEachLiveBody, &LiveBody<T>::BodyOf,
};
