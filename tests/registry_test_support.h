// A registry of the test program's own, so that tests neither see nor leave
// values of other runs. On posix each call gives a fresh, empty store folder
// (QV_REGISTRY_DIR); on win32 the key tree aKeyPath under the current user is
// deleted.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace qv {

void ResetTestRegistry(const std::u16string& aKeyPath);

// Stores a number (REG_DWORD on win32, a "dword" line on posix), which the
// string reader must refuse. The key is created when missing.
void PutTestRegistryNumber(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath, const std::u16string& aValueName,
                           uint32_t aValue);

// A root value that is none of the predefined roots: nothing can be opened
// or created under it.
constexpr tQV_RegistryRoot kInvalidTestRoot = 0x800000FFu;

}  // namespace qv
