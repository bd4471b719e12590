// Registers the test device in the test build of the payment library, the
// way a driver registers itself when the library is loaded.
#include "test_payment_device.h"

namespace {

const bool kRegistered = (qvtest::RegisterTestDriver(), true);

}  // namespace
