#include "drivers/zelq/zeft.h"

#include <algorithm>
#include <vector>

#include "core/error.h"
#include "core/text.h"
#include "io/io_handler_dll.h"
#include "payment/payment_handler.h"
#include "platform/ansi.h"

namespace qv {

namespace {

// One issuer entry of the meal-voucher start, laid out as the vendor reads it:
// on 32-bit Windows 20 bytes, little-endian, the name as a 4-byte address.
struct tqIssuerEntry {
  int32_t fCode;
  const char* fName;
  int32_t fNameLength;
  int32_t fMaxAmount;
  int32_t fMaxItems;
};
static_assert(sizeof(void*) != 4 || sizeof(tqIssuerEntry) == 20, "the vendor's issuer entry is 20 bytes");

const char kIssuerName[] = "Default";

int32_t Cents(Currency aAmount) { return static_cast<int32_t>(CurrencyToCents(aAmount)); }

}  // namespace

ZEFT::ZEFT(qIOHandler& aIOHandler, const qPaymentHandler& aHandler) {
  fDLLHandler = dynamic_cast<qIOHandler_Dll*>(&aIOHandler);
  if (!fDLLHandler) throw qError(u"Invalid class typecast");
  try {
    auto resolve = [this](const char16_t* aName) { return fDLLHandler->GetAddress(aName); };
    f_Init = reinterpret_cast<TInit>(resolve(u"ZEFT_Init"));
    fHND_Create = reinterpret_cast<THndCreate>(resolve(u"ZEFT_HND_Create"));
    fHND_Delete = reinterpret_cast<THndDelete>(resolve(u"ZEFT_HND_Delete"));
    f_Terminate = reinterpret_cast<TTerminate>(resolve(u"ZEFT_Terminate"));
    f_PAY_Start = reinterpret_cast<TPayStart>(resolve(u"ZEFT_PAY_Start"));
    f_PAY_GetResponse = reinterpret_cast<TGetResponse>(resolve(u"ZEFT_PAY_GetResponse"));
    f_HND_GetData = reinterpret_cast<THndGetData>(resolve(u"ZEFT_HND_GetData"));
    f_PAY_BPE_Start = reinterpret_cast<TPayBpeStart>(resolve(u"ZEFT_PAY_BPE_Start"));
    f_PAY_BPE_GetResponse = reinterpret_cast<TGetResponse>(resolve(u"ZEFT_PAY_BPE_GetResponse"));

    const std::u16string configFileName = aHandler.GetParameter(u"ConfigFileName");
    const std::string ansi = ToAnsi(configFileName);
    if ((f_Init(ansi.c_str()) & 0xFF) == 0) throw qError(u"Error in ZELQ initialization:" + configFileName);
    fDLLHandler->Connect();
  } catch (...) {
    // A constructor that fails runs no destructor: clean up as it would.
    if (f_Terminate) f_Terminate();
    throw;
  }
}

ZEFT::~ZEFT() {
  // A transaction handle still held is left to the library's own clean-up.
  if (f_Terminate) f_Terminate();
}

void ZEFT::Log(const std::u16string& aTitle, const std::u16string& aMessage) {
  fDLLHandler->WriteLog(let_info, aTitle, aMessage);
}

bool ZEFT::HND_Create() {
  fHandle = fHND_Create();
  Log(u"HND_Create", UIntToStr(fHandle));
  return fHandle != 0;
}

bool ZEFT::HND_Delete() {
  const bool result = fHandle == 0 || fHND_Delete(fHandle) != 0;
  Log(u"HND_Delete", result ? u"-1" : u"0");
  return result;
}

int32_t ZEFT::PAY_Start(int32_t aMerchant, int32_t aStore, int32_t aTill, int32_t aCounter, int32_t aReceiptNumber,
                        Currency aAmount, char aGroupType) {
  const int32_t code =
      f_PAY_Start(fHandle, aMerchant, aStore, aTill, aCounter, aReceiptNumber, Cents(aAmount), aGroupType);
  Log(u"PAY_Start", IntToStr(aMerchant) + u"," + IntToStr(aStore) + u"," + IntToStr(aTill) + u"," +
                        IntToStr(aCounter) + u"," + IntToStr(aReceiptNumber) + u"," + CurrencyToString(aAmount) +
                        u"," + FromAnsi(std::string(1, aGroupType)) + u" -> " + IntToStr(code));
  return code;
}

int32_t ZEFT::PAY_BPE_Start(int32_t aMerchant, int32_t aStore, int32_t aTill, int32_t aCounter,
                            int32_t aReceiptNumber, Currency aAmount, Currency aMaxAmount, int32_t aMaxItems) {
  tqIssuerEntry issuer;
  issuer.fCode = 999;
  issuer.fName = kIssuerName;
  issuer.fNameLength = 7;
  issuer.fMaxAmount = aMaxAmount == Currency() ? 999999 : Cents(aMaxAmount);
  issuer.fMaxItems = aMaxItems == 0 ? 9999 : aMaxItems;
  const std::string cashTrId = ToAnsi(IntToStr(aReceiptNumber));
  const int32_t code = f_PAY_BPE_Start(fHandle, aMerchant, aStore, aTill, aCounter, aReceiptNumber, Cents(aAmount),
                                       &issuer, 1, cashTrId.c_str());
  Log(u"PAY_BPE_Start", IntToStr(aMerchant) + u"," + IntToStr(aStore) + u"," + IntToStr(aTill) + u"," +
                            IntToStr(aCounter) + u"," + IntToStr(aReceiptNumber) + u"," + CurrencyToString(aAmount) +
                            u" -> " + IntToStr(code));
  return code;
}

int32_t ZEFT::PAY_GetResponse() {
  const int32_t code = f_PAY_GetResponse(fHandle, kResponseTimeout);
  Log(u"PAY_GetResponse", IntToStr(code));
  return code;
}

int32_t ZEFT::PAY_BPE_GetResponse() {
  const int32_t code = f_PAY_BPE_GetResponse(fHandle, kResponseTimeout);
  Log(u"PAY_BPE_GetResponse", IntToStr(code));
  return code;
}

bool ZEFT::HND_GetData(uint32_t aParamId, std::u16string& aData) {
  // One byte more than the capacity we announce, so that the text always
  // ends inside the buffer whatever the library writes. The buffer is kept
  // between calls and every call starts from an all-NUL buffer: only the
  // part the last call may have written is cleared again.
  if (fData.empty()) fData.assign(kDataCapacity + 1, '\0');
  std::fill(fData.begin(), fData.begin() + fDataDirty, '\0');
  int32_t size = kDataCapacity;
  const int32_t code = f_HND_GetData(fHandle, aParamId, fData.data(), &size);
  size_t length = 0;
  while (length < static_cast<size_t>(kDataCapacity) && fData[length] != '\0') ++length;
  const size_t reported = size < 0 ? 0 : std::min(static_cast<size_t>(size), static_cast<size_t>(kDataCapacity));
  fDataDirty = std::max(length + 1, reported);
  if (reported < length) length = reported;
  aData = FromAnsi(std::string_view(fData.data(), length));
  Log(u"HND_GetData", UIntToStr(aParamId) + u"-" + aData);
  return code == 0;
}

}  // namespace qv
