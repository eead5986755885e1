#include "bodies/BodyClasses.hpp"

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TDrawn.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"

namespace {

// A new class is one line here, where its bodies are to be hashed. The order is part of every
// recorded body hash: appending keeps them, inserting would not once the class has bodies.
constexpr const BodyClass* kClasses[] = {
    &kBodyClass<TBall>,     &kBodyClass<TCube>,  &kBodyClass<TStar>,  &kBodyClass<TSquid>,
    &kBodyClass<TTentacle>, &kBodyClass<TChain>, &kBodyClass<TDrawn>,
};

} // namespace

std::span<const BodyClass* const> BodyClasses() {
    return kClasses;
}
