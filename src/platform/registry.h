// The registry service: string values under a key path of one of the
// predefined roots. The win32 build uses the real registry (advapi32); the
// posix build keeps a file per key under the user's configuration directory
// (see registry_posix.cpp for the file format and the locking).
//
// Ownership: an open key is owned by the qRegistryKey the factory returns and
// is released when that object is destroyed; nothing stays open after it.
// Throws: qError from ReadString ("Invalid data type for '%s'") and
// WriteString ("Failed to set data for '%s'"); opening never throws, it
// answers a status instead.
// Thread: a key object is used by one thread at a time; separate key objects
// may be used from separate threads and processes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qv {

// The predefined roots, passed as the values of their Windows handles. The
// names differ from the Windows macros so that this header never clashes with
// <windows.h>.
using tQV_RegistryRoot = uint32_t;
constexpr tQV_RegistryRoot rk_ClassesRoot = 0x80000000u;
constexpr tQV_RegistryRoot rk_CurrentUser = 0x80000001u;
constexpr tQV_RegistryRoot rk_LocalMachine = 0x80000002u;
constexpr tQV_RegistryRoot rk_Users = 0x80000003u;
constexpr tQV_RegistryRoot rk_PerformanceData = 0x80000004u;
constexpr tQV_RegistryRoot rk_CurrentConfig = 0x80000005u;
constexpr tQV_RegistryRoot rk_DynData = 0x80000006u;

// An open key.
class qRegistryKey {
 public:
  virtual ~qRegistryKey() = default;
  qRegistryKey(const qRegistryKey&) = delete;
  qRegistryKey& operator=(const qRegistryKey&) = delete;

  // The string value of aValueName, cut at its first NUL as registry strings
  // are; the empty text when the value does not exist. A value of another
  // type (a number, binary data) fails with "Invalid data type for '%s'".
  virtual std::u16string ReadString(const std::u16string& aValueName) = 0;

  // Stores aValue as a string value (REG_SZ), replacing a value of any type
  // under the same name. A refused write fails with "Failed to set data for
  // '%s'". Only keys opened for writing accept it.
  virtual void WriteString(const std::u16string& aValueName, const std::u16string& aValue) = 0;

 protected:
  qRegistryKey() = default;
};

enum class tQV_RegistryOpenStatus {
  ros_Ok,
  // The key does not exist (or a parent of it).
  ros_NotFound,
  // The key exists or should be created but cannot be opened: no right to it,
  // an invalid root or name, a store that cannot be used.
  ros_Failed,
};

struct tQV_RegistryOpenResult {
  tQV_RegistryOpenStatus fStatus = tQV_RegistryOpenStatus::ros_Failed;
  std::unique_ptr<qRegistryKey> fKey;  // set exactly when fStatus is ros_Ok
};

// Opens an existing key for reading only. Never creates anything.
// aKeyPath is relative to the root, with "\" between the key names.
tQV_RegistryOpenResult OpenRegistryKeyForRead(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath);

// Opens a key for reading and writing, creating it and its missing parents.
// The answer is ros_Ok or ros_Failed.
tQV_RegistryOpenResult CreateRegistryKeyForWrite(tQV_RegistryRoot aRoot, const std::u16string& aKeyPath);

}  // namespace qv
