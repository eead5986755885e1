#pragma once

#include <memory>

#include "bodies/BodyPass.hpp"
#include "media/Graphics.hpp"
#include "media/base/TList.hpp"
#include "world/TLayer.hpp"

// The pieces every dynamic body class shares: the per-frame pass over a class-wide live list,
// removal of one instance from it, and the off-level test.

// A shared_ptr that compares equal to the owning entry of `object` without owning anything:
// lets an instance find its own entry in a list by identity, without allocating.
template <class T> std::shared_ptr<T> SelfRef(T* object) {
    return std::shared_ptr<T>(std::shared_ptr<T>(), object);
}

// Takes `object` out of `list` (no-op when list is Null). May destroy `object` if the list
// held its last reference: callers must not touch the object afterwards.
template <class T> void RemoveFromLiveList(TList<std::shared_ptr<T>>* list, T* object) {
    if (list != nullptr) {
        list->Remove(SelfRef(object));
    }
}

// False draws bodies wherever they are (the bench and the tests compare both ways).
inline bool bodiesCullOffPicture = true;

// True when a picture centred on world point c and reaching `reach` pixels from it at any angle
// may cover a pixel of the picture, the origin being at (ox, oy) and the view zoomed by zoom. Kinds
// that declare kDrawReach are drawn only then: the software renderer still sets up every triangle
// of a turned picture it will clip away, which at a thousand bodies is a good part of the frame.
inline bool MayShowOnPicture(CPVect c, float reach, float ox, float oy, float zoom = 1.0f) {
    // Two pixels more for the filtering at a picture's edge and the rasteriser's rounding.
    const float r = (reach + 2.0f) * zoom;
    const float x = (c.x + ox) * zoom, y = (c.y + oy) * zoom;
    return x + r >= 0.0f && y + r >= 0.0f && x - r <= static_cast<float>(GraphicsWidth()) &&
           y - r <= static_cast<float>(GraphicsHeight());
}

// The per-frame pass: dead instances are handed to remove(), live ones are updated then drawn,
// in creation order, with the drawing origin set so that the layer's scroll acts as the camera.
template <class T>
void UpdateLiveList(TList<std::shared_ptr<T>>* list, const std::shared_ptr<TLayer>& layer,
                    const BodyPass& pass) {
    if (list == nullptr) {
        return;
    }
    if (!pass.draw) {
        for (const std::shared_ptr<T>& object : *list) {
            if (!object) {
                continue;
            }
            if (object->_life == 0) {
                object->remove();
            } else {
                object->update();
            }
        }
        return;
    }
    const float sx = layer ? static_cast<float>(layer->ScrollX) : 0.0f;
    const float sy = layer ? static_cast<float>(layer->ScrollY) : 0.0f;
    const float zoom = layer ? layer->Zoom : 1.0f;
    SetOrigin(-sx, -sy);
    SetViewZoom(zoom);
    // The iterator keeps the entry it stands on, and so the instance, alive while remove() takes
    // it out of the list.
    for (const std::shared_ptr<T>& object : *list) {
        if (!object) {
            continue;
        }
        if (object->_life == 0) {
            if (pass.removeDead) {
                object->remove();
            }
        } else {
            if (pass.advance) {
                object->update();
            }
            if constexpr (requires { T::kDrawReach; }) {
                if (bodiesCullOffPicture &&
                    !MayShowOnPicture(object->DrawCentre(), T::kDrawReach, -sx, -sy, zoom)) {
                    continue;
                }
            }
            object->Draw();
        }
    }
    SetOrigin(0.0f, 0.0f);
    SetViewZoom(1.0f);
}

// Releases every instance through `release` and drops the list (back to Null).
template <class T, class F>
void ClearLiveList(std::unique_ptr<TList<std::shared_ptr<T>>>& list, F release) {
    if (list) {
        for (const std::shared_ptr<T>& object : *list) {
            if (object) {
                release(*object);
            }
        }
    }
    list.reset();
}

// 0 for a Null list, else its length (dead instances not yet removed included).
template <class T> int CountLiveList(const TList<std::shared_ptr<T>>* list) {
    return list == nullptr ? 0 : list->Count();
}

// The off-level test: true when p lies left of 0, right of maxLevelW or below maxLevelH.
// There is no top bound: a body thrown above the level comes back down alive.
inline bool IsOffLevel(CPVect p, const TLayer& layer) {
    return p.x < 0.0f || p.x > static_cast<float>(layer.maxLevelW) ||
           p.y > static_cast<float>(layer.maxLevelH);
}
