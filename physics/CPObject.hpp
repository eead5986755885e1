#pragma once

#include <memory>

class CPSpace;

// Base of every physics wrapper. A wrapper owns its library object; a space keeps every object
// added to it alive until the object is freed or the space goes away.
class CPObject : public std::enable_shared_from_this<CPObject> {
  public:
    virtual ~CPObject() = default;
    CPObject(const CPObject&) = delete;
    CPObject& operator=(const CPObject&) = delete;

    bool IsFreed() const { return cpObjectPtr == nullptr; } // no library object (after Free)
    std::shared_ptr<CPSpace> GetParent() const { return parent.lock(); } // space added to, or Null
    void* GetHandle() const { return cpObjectPtr; } // opaque library handle, for this layer's use

  protected:
    CPObject() = default;
    // Destroys the library object (taking it out of its space first); no-op when already gone.
    virtual void Release() {}

    void* cpObjectPtr = nullptr; // library handle; nullptr when not created or after Free
    // The space the object was added to. Not owning: the space owns its members, and an owning
    // back reference would keep every space alive for ever.
    std::weak_ptr<CPSpace> parent;

  private:
    friend class CPSpace;
    CPSpace* listedIn_ = nullptr; // non-owning: the space whose member list holds this object
    int listKind_ = -1;           // which of that space's lists
    int slot_ = -1;               // index in that list
};
