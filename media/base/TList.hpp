#pragma once
#include <cassert>
#include <cstddef>
#include <iterator>
#include <utility>

// Ordered list of values (object references), a circular doubly linked list with one sentinel.
// Links are reference counted so that an enumerator stays valid when the value it just returned
// is removed, and a removed link stays readable until the enumerator moves on.

template <class T> class TList;
template <class T> class TListEnum;
template <class T> class TListIterator;

// Node part shared by the sentinel and the value links.
class TLinkBase {
  protected:
    TLinkBase* succ_ = this;
    TLinkBase* pred_ = this;
    int refs_ = 1;         // the list's reference while linked, plus enumerator references
    bool removed_ = false; // unlinked; pred_ then holds a reference to the old predecessor
    bool sentinel_ = false;

    template <class T> friend class TList;
    template <class T> friend class TListEnum;
    template <class T> friend class TListIterator;
    template <class T> friend class TLink;

    virtual ~TLinkBase() = default;
    void Retain() {
        if (!sentinel_)
            ++refs_;
    }
    void Release() {
        if (sentinel_)
            return;
        if (--refs_ == 0) {
            TLinkBase* heldPred = removed_ ? pred_ : nullptr;
            delete this;
            if (heldPred)
                heldPred->Release();
        }
    }
    // Takes the link out of its list. The list's reference goes; the link keeps its
    // predecessor alive so that an enumerator standing here can still find where to go on.
    void Unlink() {
        if (removed_ || sentinel_)
            return;
        pred_->succ_ = succ_;
        succ_->pred_ = pred_;
        removed_ = true;
        pred_->Retain();
        Release();
    }
    // The nearest link still in the list at or before this one.
    TLinkBase* Live() {
        TLinkBase* l = this;
        while (l->removed_)
            l = l->pred_;
        return l;
    }
};

template <class T> class TLink final : public TLinkBase {
  public:
    T& Value() { return value_; }
    const T& Value() const { return value_; }
    // Unlinks this link from its list. The link must not be used after this call.
    void Remove() { Unlink(); }

  private:
    explicit TLink(T value) : value_(std::move(value)) {}
    T value_;
    friend class TList<T>;
};

// Front-to-back walk. NextObject returns a reference that stays valid until the next
// NextObject call or the enumerator's end, even if its value is removed meanwhile.
template <class T> class TListEnum {
  public:
    TListEnum(TListEnum&& other) noexcept
        : sentinel_(other.sentinel_), last_(std::exchange(other.last_, nullptr)) {}
    TListEnum(const TListEnum&) = delete;
    TListEnum& operator=(const TListEnum&) = delete;
    TListEnum& operator=(TListEnum&&) = delete;
    ~TListEnum() {
        if (last_)
            last_->Release();
    }
    // True while a value remains, counting values appended since the walk began.
    bool HasNext() const { return last_->Live()->succ_ != sentinel_; }
    // The next value; call only after HasNext returned true.
    T& NextObject() {
        TLinkBase* next = last_->Live()->succ_;
        assert(next != sentinel_);
        next->Retain();
        last_->Release();
        last_ = next;
        return static_cast<TLink<T>*>(next)->Value();
    }

  private:
    explicit TListEnum(TLinkBase* sentinel) : sentinel_(sentinel), last_(sentinel) {}
    TLinkBase* sentinel_;
    TLinkBase* last_; // the link whose value was returned last (the sentinel before the first)
    friend class TList<T>;
};

// Forward iterator for range-for, with the enumerator's tolerance: the value it stands on may be
// removed (its reference stays valid until the next increment), others may be removed or
// appended, and appended values are visited. Holds a reference on the link it stands on, so
// copies are cheap but not free; the list must outlive it.
template <class T> class TListIterator {
  public:
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using reference = T&;
    using iterator_category = std::forward_iterator_tag;

    TListIterator() = default;
    TListIterator(const TListIterator& other) : sentinel_(other.sentinel_), at_(other.at_) {
        if (at_)
            at_->Retain();
    }
    TListIterator& operator=(TListIterator other) noexcept {
        std::swap(sentinel_, other.sentinel_);
        std::swap(at_, other.at_);
        return *this;
    }
    ~TListIterator() {
        if (at_)
            at_->Release();
    }
    T& operator*() const { return static_cast<TLink<T>*>(at_)->Value(); }
    T* operator->() const { return &**this; }
    // Moves to the value after the nearest link still listed at or before this one.
    TListIterator& operator++() {
        TLinkBase* next = at_->Live()->succ_;
        next->Retain();
        at_->Release();
        at_ = next;
        return *this;
    }
    TListIterator operator++(int) {
        TListIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const TListIterator& other) const { return at_ == other.at_; }
    // The end: standing on the sentinel.
    bool operator==(std::default_sentinel_t) const { return at_ == sentinel_; }

  private:
    TListIterator(TLinkBase* sentinel, TLinkBase* at) : sentinel_(sentinel), at_(at) {
        at_->Retain();
    }
    TLinkBase* sentinel_ = nullptr;
    TLinkBase* at_ = nullptr; // retained (the sentinel needs no reference)
    friend class TList<T>;
};

template <class T> class TList {
  public:
    TList() { sentinel_.sentinel_ = true; }
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    ~TList() { Clear(); }

    // Appends the value; the returned link (non-owning) is valid while it is in the list.
    TLink<T>* AddLast(T value) {
        auto* link = new TLink<T>(std::move(value));
        link->pred_ = sentinel_.pred_;
        link->succ_ = &sentinel_;
        sentinel_.pred_->succ_ = link;
        sentinel_.pred_ = link;
        return link;
    }
    // Unlinks the first link whose value equals `value`; 1 if one was found, else 0.
    int Remove(const T& value) {
        TLink<T>* link = FindLink(value);
        if (!link)
            return 0;
        link->Unlink();
        return 1;
    }
    // Number of values, counted by walking the list.
    int Count() const {
        int n = 0;
        for (const TLinkBase* l = sentinel_.succ_; l != &sentinel_; l = l->succ_)
            ++n;
        return n;
    }
    bool IsEmpty() const { return sentinel_.succ_ == &sentinel_; }
    T& First() { return static_cast<TLink<T>*>(sentinel_.succ_)->Value(); } // list not empty
    T& Last() { return static_cast<TLink<T>*>(sentinel_.pred_)->Value(); }  // list not empty
    // The first link holding the value, or nullptr.
    TLink<T>* FindLink(const T& value) {
        for (TLinkBase* l = sentinel_.succ_; l != &sentinel_; l = l->succ_) {
            auto* link = static_cast<TLink<T>*>(l);
            if (link->Value() == value)
                return link;
        }
        return nullptr;
    }
    TListEnum<T> ObjectEnumerator() { return TListEnum<T>(&sentinel_); }
    // Range-for over the values, front to back (see TListIterator for what may change meanwhile).
    TListIterator<T> begin() { return TListIterator<T>(&sentinel_, sentinel_.succ_); }
    std::default_sentinel_t end() { return std::default_sentinel; }
    // Unlinks every value.
    void Clear() {
        while (sentinel_.succ_ != &sentinel_)
            sentinel_.succ_->Unlink();
    }

  private:
    class Sentinel final : public TLinkBase {
        friend class TList<T>;
    };
    Sentinel sentinel_;
};
