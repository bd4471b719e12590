// The settings store: named values in memory (tQV_Setup) and string values in
// the registry under the maker's key "Software\Quorvel\" of a root the caller
// chooses (ReadRegistryString, WriteRegistryString).
//
// Ownership: a tQV_Setup owns its entries. Each registry operation opens its
// own key and closes it before it returns.
// Throws: the registry operations raise qError "Invalid data type for '%s'"
// (a value that is not a string) and "Failed to set data for '%s'" (a refused
// write); the in-memory store raises nothing.
// Thread: one thread at a time per tQV_Setup; the registry operations from
// any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/registry.h"

namespace qv {

// A value that carries its own type; std::monostate is the empty value.
using tQV_Value = std::variant<std::monostate, bool, int64_t, double, std::u16string>;

class tQV_SetupEntry {
 public:
  tQV_SetupEntry(std::u16string aName, tQV_Value aValue) : fName(std::move(aName)), fValue(std::move(aValue)) {}

  const std::u16string& Name() const { return fName; }
  const tQV_Value& Value() const { return fValue; }

 private:
  friend class tQV_Setup;
  std::u16string fName;
  tQV_Value fValue;
};

class tQV_Setup {
 public:
  // The name exists afterwards with the empty value, also when it held one.
  void Define(const std::u16string& aName);
  // A copy of the value under aName (found without regard to letter case), or
  // the empty value for a name never defined.
  tQV_Value GetValue(const std::u16string& aName) const;
  // Replaces the value of an existing entry, which keeps the spelling its
  // name was first given, or appends a new entry.
  void SetValue(const std::u16string& aName, const tQV_Value& aValue);

  // The entries in the order of their first definition.
  const std::vector<tQV_SetupEntry>& List() const { return fList; }

 private:
  static constexpr size_t kNotFound = static_cast<size_t>(-1);
  // The index of the first entry whose name equals aName without regard to
  // letter case, or kNotFound.
  size_t Find(const std::u16string& aName) const;

  std::vector<tQV_SetupEntry> fList;
};

// The registry path of a key name: "Software\Quorvel\" + aKeyName.
std::u16string RegistryKeyPath(const std::u16string& aKeyName);

// The string value aValueName of the key aKeyName; the empty text when the key
// cannot be opened or the value does not exist. Never creates the key.
std::u16string ReadRegistryString(const std::u16string& aKeyName, const std::u16string& aValueName,
                                  tQV_RegistryRoot aRootKey);

// Stores aValue as the string value aValueName, creating the key and its
// parents when missing. When the key cannot be opened or created, the user is
// told "Unable to save into registry " and the key path through
// ShowUserMessage and nothing is stored; the answer is true all the same, as
// callers have always been given.
bool WriteRegistryString(const std::u16string& aKeyName, const std::u16string& aValueName,
                         const std::u16string& aValue, tQV_RegistryRoot aRootKey);

}  // namespace qv
