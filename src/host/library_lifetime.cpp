#include "host/library_lifetime.h"

#include "base/application.h"
#include "drivers/zelq/payment_zelq.h"
#include "host/payment_registry.h"
#include "log/log_writer.h"

namespace qv {

namespace {

// Every log writer of the library: the devices' and the application's.
template <typename Visit>
void ForEachLogWriter(Visit aVisit) {
  PaymentDevices().ForEach([&](qPaymentDevice& aDevice) {
    if (tQV_LogWriter* writer = aDevice.IOHandler().Logger()) aVisit(*writer);
  });
  if (tQV_Application* app = Application()) aVisit(app->Logger());
}

}  // namespace

void LibraryLoad() {
  try {
    CreateApplication();
  } catch (...) {
    // A library whose application object cannot be made still answers its
    // calls: VERSION finds no version text, the payments still run.
  }
  try {
    PaymentDevices();
    RegisterPaymentDriver(u"QVPA_ZELQ_10", qPaymentClass::Of<qPayment_ZELQ>());
  } catch (...) {
    // Only memory can run out here; the commands then report the driver as
    // not registered.
  }
}

void LibraryUnload(tqUnloadKind aKind) {
  try {
    switch (aKind) {
      case tqUnloadKind::uk_ProcessExit:
        // The log threads are gone and the vendor libraries may be too: write
        // what is still queued and leave everything else to the system.
        ForEachLogWriter([](tQV_LogWriter& aWriter) { aWriter.WriteQueuedFromCaller(); });
        AbandonPaymentTables();
        AbandonApplication();
        return;
      case tqUnloadKind::uk_LoaderLocked:
        // Threads cannot end while the loader lock is held: let each writer
        // drain and park its thread; what is logged from here on is written
        // by this thread.
        ForEachLogWriter([](tQV_LogWriter& aWriter) { aWriter.DrainAndAbandon(); });
        break;
      case tqUnloadKind::uk_Ordinary:
        break;
    }
    DestroyPaymentTables();
    DestroyApplication();
  } catch (...) {
    // Nothing may leave the library's entry point.
  }
}

}  // namespace qv
