#include "host/payment_registry.h"

#include <utility>

namespace qv {

namespace {

// Both tables in one object so that their order is fixed: the device table is
// emptied before the registry goes. Created on first use, so that a driver's
// registration from its own static initialiser always finds it, and never
// destroyed by a static destructor: the library's unload code decides when
// and how the devices go (DestroyPaymentTables), because on Windows that
// happens under the loader lock.
struct qPaymentTables {
  qPaymentDeviceTable fDevices;
  qPaymentDriverMap fDrivers;
  int32_t fLastDeviceHandle = 0;

  ~qPaymentTables() { fDevices.Clear(); }
};

qPaymentTables* gTables = nullptr;

qPaymentTables& Tables() {
  if (!gTables) gTables = new qPaymentTables;
  return *gTables;
}

}  // namespace

qPaymentDeviceTable::~qPaymentDeviceTable() { Clear(); }

qPaymentDevice* qPaymentDeviceTable::Find(int32_t aHandle) const {
  const auto it = fDevices.find(aHandle);
  return it == fDevices.end() ? nullptr : it->second.get();
}

void qPaymentDeviceTable::Add(int32_t aHandle, std::unique_ptr<qPaymentDevice> aDevice) {
  fDevices.emplace(aHandle, std::move(aDevice));
}

bool qPaymentDeviceTable::Remove(int32_t aHandle) {
  const auto it = fDevices.find(aHandle);
  if (it == fDevices.end()) return false;
  std::unique_ptr<qPaymentDevice> device = std::move(it->second);
  fDevices.erase(it);
  device.reset();
  return true;
}

void qPaymentDeviceTable::Clear() {
  while (!fDevices.empty()) Remove(fDevices.begin()->first);
}

qPaymentDriverMap& PaymentDrivers() { return Tables().fDrivers; }

qPaymentDeviceTable& PaymentDevices() { return Tables().fDevices; }

int32_t& LastDeviceHandle() { return Tables().fLastDeviceHandle; }

void DestroyPaymentTables() {
  if (!gTables) return;
  gTables->fDevices.Clear();
  delete gTables;
  gTables = nullptr;
}

void AbandonPaymentTables() { gTables = nullptr; }

void qPaymentDeviceTable::ForEach(const std::function<void(qPaymentDevice&)>& aVisit) const {
  for (const auto& entry : fDevices) aVisit(*entry.second);
}

void RegisterPaymentDriver(const std::u16string& aKey, qPaymentClass aClass) {
  PaymentDrivers().insert_or_assign(aKey, aClass);
}

}  // namespace qv
