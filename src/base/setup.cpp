#include "base/setup.h"

#include "base/user_message.h"
#include "core/text.h"

namespace qv {

size_t tQV_Setup::Find(const std::u16string& aName) const {
  for (size_t i = 0; i < fList.size(); ++i)
    if (SameText(fList[i].fName, aName)) return i;
  return kNotFound;
}

void tQV_Setup::Define(const std::u16string& aName) { SetValue(aName, tQV_Value()); }

tQV_Value tQV_Setup::GetValue(const std::u16string& aName) const {
  const size_t index = Find(aName);
  return index == kNotFound ? tQV_Value() : fList[index].fValue;
}

void tQV_Setup::SetValue(const std::u16string& aName, const tQV_Value& aValue) {
  const size_t index = Find(aName);
  if (index == kNotFound)
    fList.emplace_back(aName, aValue);
  else
    fList[index].fValue = aValue;
}

std::u16string RegistryKeyPath(const std::u16string& aKeyName) { return u"Software\\Quorvel\\" + aKeyName; }

std::u16string ReadRegistryString(const std::u16string& aKeyName, const std::u16string& aValueName,
                                  tQV_RegistryRoot aRootKey) {
  const tQV_RegistryOpenResult opened = OpenRegistryKeyForRead(aRootKey, RegistryKeyPath(aKeyName));
  // A key that is missing or may not be read holds no value.
  if (!opened.fKey) return std::u16string();
  return opened.fKey->ReadString(aValueName);
}

bool WriteRegistryString(const std::u16string& aKeyName, const std::u16string& aValueName,
                         const std::u16string& aValue, tQV_RegistryRoot aRootKey) {
  const std::u16string path = RegistryKeyPath(aKeyName);
  const tQV_RegistryOpenResult opened = CreateRegistryKeyForWrite(aRootKey, path);
  if (!opened.fKey) {
    ShowUserMessage(let_error, u"Unable to save into registry " + path);
    return true;
  }
  opened.fKey->WriteString(aValueName, aValue);
  return true;
}

}  // namespace qv
