// Feeds arbitrary bytes to the payment request parser as a request text.
// A first byte "<" means the bytes are UTF-8 (so the seed requests read as
// XML); anything else is taken as UTF-16 code units, lone surrogates and all.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/error.h"
#include "core/text.h"
#include "payment/payment_handler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  std::u16string text;
  if (aSize > 0 && aData[0] == '<') {
    text = qv::FromUtf8(std::string_view(reinterpret_cast<const char*>(aData), aSize));
  } else {
    for (size_t i = 1; i + 1 < aSize; i += 2) text.push_back(static_cast<char16_t>(aData[i] | (aData[i + 1] << 8)));
  }
  for (const auto types : {qv::dt_Open, qv::dt_Pay}) {
    try {
      qv::qPaymentHandler handler;
      handler.Deserialize(text, types);
    } catch (const qv::qError&) {
      // Every rejection must come as our error with a message.
    }
  }
  return 0;
}
