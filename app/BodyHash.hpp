#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

class CPBody;
class TMachineJoint;

// 64-bit FNV-1a over the bit patterns of bodies' positions, angles, velocities and angular
// velocities as the physics library holds them (doubles): two builds that agree on it computed
// the same physics to the last bit. The headless runner prints it; the page keeps it for its test.
class BodyHash {
  public:
    std::uint64_t value = 1469598103934665603ull;
    int bodies = 0;               // bodies added so far
    std::ostream* dump = nullptr; // when set, every body's state is written there too (" %a")

    // Adds one body's exact state; a freed or missing body adds nothing.
    void Add(const std::shared_ptr<CPBody>& body);
    // The value as 16 lower-case hexadecimal digits.
    std::string Hex() const;
    // Every live body in the game's fixed order: balls, cubes, stars, squids, tentacle segments,
    // chain links; then each intact machine joint's kind, anchors, length, angle and settings
    // (none: nothing added, so hashes of scenes without joints are what they were). Reads the
    // program-wide lists between frames; dump as above.
    static BodyHash OfLiveBodies(std::ostream* dump = nullptr);

    // One intact joint's kind, anchors, length and settings; a broken one adds nothing.
    void Add(const TMachineJoint& joint);

  private:
    void addDouble(double d);
    int joints = 0;
};
