#pragma once

#include "patcher/PatchGameFiles.h"

#include <string>

namespace mw {

// Most clients from 7.0 on (with MainMisc.uop beside their files) read MultiCollection.uop
// instead of multi.idx / multi.mul when the install has one, while Sphere reads multi.mul only.
// A patch of the pair alone then reaches the server but not those clients.

// The MultiCollection.uop (its name matched without regard to case) in the folder of the
// targets' multi.idx that the targets do not name; empty when there is none.
std::string UnpatchedPackageBeside(const PatchTargets& targets);

// What a patch says about that package: that its clients will not see the new multi, and
// howToName, how the user names the package so that the next patch writes it too.
std::string UnpatchedPackageNote(const std::string& package, const std::string& howToName);

} // namespace mw
