#pragma once

// Root of the program's object model. Bodies store a TObject* as physics user data so
// that code holding only a shape can find out which kind of object owns it (dynamic_cast).
class TObject {
  public:
    virtual ~TObject() = default;
};
