// The two process-wide tables: the driver registry (driver key to device
// class) and the device table (handle to open device), with the last handle
// given out. They live from the library's load to its unload; at unload the
// devices still open are destroyed first, then the registry.
//
// Thread: the host's calling thread only (the host calls one function at a
// time); nothing here is locked. Throws: std::bad_alloc only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "payment/payment_device.h"

namespace qv {

// Keys compare exactly: case-sensitive, no trimming.
using qPaymentDriverMap = std::map<std::u16string, qPaymentClass>;

// Owns the open devices.
class qPaymentDeviceTable {
 public:
  qPaymentDeviceTable() = default;
  ~qPaymentDeviceTable();
  qPaymentDeviceTable(const qPaymentDeviceTable&) = delete;
  qPaymentDeviceTable& operator=(const qPaymentDeviceTable&) = delete;

  // Null when aHandle is not in the table.
  qPaymentDevice* Find(int32_t aHandle) const;
  // Enters aDevice under aHandle. On failure the table is unchanged and the
  // device is destroyed.
  void Add(int32_t aHandle, std::unique_ptr<qPaymentDevice> aDevice);
  // Takes the entry out of the table first and destroys the device after, so
  // that a device's clean-up never sees itself still listed. False when
  // aHandle is not there.
  bool Remove(int32_t aHandle);
  // Destroys every device, one entry at a time, in handle order.
  void Clear();
  size_t Count() const { return fDevices.size(); }
  void ForEach(const std::function<void(qPaymentDevice&)>& aVisit) const;

 private:
  std::map<int32_t, std::unique_ptr<qPaymentDevice>> fDevices;
};

qPaymentDriverMap& PaymentDrivers();
qPaymentDeviceTable& PaymentDevices();
// The last handle given out; 0 at load. Handles are never reused while the
// library stays loaded.
int32_t& LastDeviceHandle();

// Enters aClass under aKey, replacing an earlier entry of the same key. A
// driver calls it once when the library is loaded.
// Destroys every device, then the driver registry (library unload). The
// tables are made anew on next use.
void DestroyPaymentTables();
// Forgets the tables without destroying anything (process exit, when the
// devices' libraries may already be gone).
void AbandonPaymentTables();

void RegisterPaymentDriver(const std::u16string& aKey, qPaymentClass aClass);

}  // namespace qv
