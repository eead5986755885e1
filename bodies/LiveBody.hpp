#pragma once

#include <memory>

#include "bodies/BodyPass.hpp"
#include "bodies/LiveList.hpp"
#include "bodies/TObject.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "world/TLayer.hpp"

// The class-wide half every dynamic body class shares, written once: class TFoo derives from
// LiveBody<TFoo> and supplies Init, update, Draw, an int _life (0 = dead) and release() (frees
// the instance's physics objects; must be safe to call twice). A class that owns more than its
// physics objects gives its own remove() (and discard() for ClearAll), which hide these.
// The class-wide state is one set per class: liveList and layer of TBall are not TCube's.
template <class T> class LiveBody : public TObject {
  public:
    // New instance (references Null, dead) appended to liveList (made on first call); Init
    // follows.
    static std::shared_ptr<T> Create() {
        auto object = std::make_shared<T>();
        if (!liveList) {
            liveList = std::make_unique<TList<std::shared_ptr<T>>>();
        }
        liveList->AddLast(object);
        return object;
    }
    // Frees the instance's physics objects and takes it out of liveList (may destroy it: the
    // caller must not touch it afterwards).
    void remove() {
        self().release();
        RemoveFromLiveList(liveList.get(), &self());
    }
    // Per-frame pass over liveList: remove the dead, update and draw the living, as pass says.
    static void UpdateAll(const BodyPass& pass = {}) {
        UpdateLiveList(liveList.get(), layer, pass);
    }
    // Entries in liveList (dead ones not yet removed included; 0 while it is Null).
    static int Count() { return CountLiveList(liveList.get()); }
    // Calls visit(body, context) for every body of every listed instance, in creation order
    // (each instance's forEachBody order). Reads the list between frames.
    static void ForEachLiveBody(void (*visit)(const std::shared_ptr<CPBody>&, void*),
                                void* context) {
        if (!liveList) {
            return;
        }
        for (const std::shared_ptr<T>& object : *liveList) {
            if (object) {
                object->forEachBody(
                    [&](const std::shared_ptr<CPBody>& body) { visit(body, context); });
            }
        }
    }
    // The body of the index-th listed instance (0 first): false when there is none or the class
    // has no single body (a chain).
    static bool BodyOf(int index, std::shared_ptr<CPBody>& body) {
        if constexpr (SingleBody()) {
            if (liveList) {
                int i = 0;
                for (const std::shared_ptr<T>& object : *liveList) {
                    if (i++ == index && object && object->_body) {
                        body = object->_body;
                        return true;
                    }
                }
            }
        }
        return false;
    }
    // Tests/tools: frees every instance's physics objects; liveList and layer back to Null.
    static void ClearAll() {
        ClearLiveList(liveList, [](T& object) { object.discard(); });
        layer.reset();
    }

    // Every instance Create made, in creation order; Null until the first Create.
    static inline std::unique_ptr<TList<std::shared_ptr<T>>> liveList;
    // The layer of the most recent Init: its space, scroll and level size.
    static inline std::shared_ptr<TLayer> layer;

    // Calls f(body) for each body the instance owns, in a fixed order (a single _body, or each
    // entry of a _body list). A class whose bodies live elsewhere gives its own.
    template <class F> void forEachBody(F&& f) {
        if constexpr (SingleBody()) {
            f(self()._body);
        } else {
            for (const std::shared_ptr<CPBody>& body : self()._body) {
                f(body);
            }
        }
    }

  protected:
    LiveBody() = default;
    // What ClearAll does with each instance: release its physics objects.
    void discard() { self().release(); }

  private:
    // Whether T holds one body in _body (else a list of them, or none: its own forEachBody).
    // (A function, so that it is asked only once T is complete.)
    static constexpr bool SingleBody() {
        return requires(T & t, std::shared_ptr<CPBody> & b) {
            b = t._body;
        };
    }
    T& self() { return static_cast<T&>(*this); }
};
