// ZEFT: the binding to the terminal vendor's EFT library. It resolves the
// library's nine entry points by name through the device's DLL I/O handler,
// initialises the library with the request's configuration file, offers one
// method per vendor operation, and writes one log line per call. It holds the
// handle of the transaction under way. It decides nothing about payments.
//
// Owns: nothing but the handle; the I/O handler (which keeps the library
// loaded) belongs to the device and outlives the binding.
// Throws: the constructor raises qError ("Invalid class typecast", "Unable to
// get address for procedure ...", "Error in ZELQ initialization:..."); the
// vendor calls never raise, they return the vendor's codes.
// Thread: the host's calling thread; one transaction at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/currency.h"
#include "platform/export_abi.h"

namespace qv {

class qIOHandler;
class qIOHandler_Dll;
class qPaymentHandler;

class ZEFT {
 public:
  // The response wait handed to the vendor library, in milliseconds.
  static constexpr int32_t kResponseTimeout = 180000;
  // The capacity of the data buffer of HND_GetData.
  static constexpr int32_t kDataCapacity = 16384;

  ZEFT(qIOHandler& aIOHandler, const qPaymentHandler& aHandler);
  ~ZEFT();
  ZEFT(const ZEFT&) = delete;
  ZEFT& operator=(const ZEFT&) = delete;

  bool HND_Create();
  bool HND_Delete();
  int32_t PAY_Start(int32_t aMerchant, int32_t aStore, int32_t aTill, int32_t aCounter, int32_t aReceiptNumber,
                    Currency aAmount, char aGroupType);
  int32_t PAY_BPE_Start(int32_t aMerchant, int32_t aStore, int32_t aTill, int32_t aCounter, int32_t aReceiptNumber,
                        Currency aAmount, Currency aMaxAmount, int32_t aMaxItems);
  int32_t PAY_GetResponse();
  int32_t PAY_BPE_GetResponse();
  bool HND_GetData(uint32_t aParamId, std::u16string& aData);

  qIOHandler_Dll& DLLHandler() const { return *fDLLHandler; }
  uint32_t Handle() const { return fHandle; }

 private:
  using TInit = int32_t(QV_STDCALL*)(const char*);
  using TTerminate = void(QV_STDCALL*)();
  using THndCreate = uint32_t(QV_STDCALL*)();
  using THndDelete = uint32_t(QV_STDCALL*)(uint32_t);
  using TPayStart = int32_t(QV_STDCALL*)(uint32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, char);
  using TGetResponse = int32_t(QV_STDCALL*)(uint32_t, int32_t);
  using THndGetData = int32_t(QV_STDCALL*)(uint32_t, uint32_t, char*, int32_t*);
  using TPayBpeStart = int32_t(QV_STDCALL*)(uint32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                            const void*, int32_t, const char*);

  void Log(const std::u16string& aTitle, const std::u16string& aMessage);

  // The data buffer of HND_GetData, and how much of it the last call may
  // have written.
  std::vector<char> fData;
  size_t fDataDirty = 0;

  qIOHandler_Dll* fDLLHandler = nullptr;
  uint32_t fHandle = 0;
  THndCreate fHND_Create = nullptr;
  THndDelete fHND_Delete = nullptr;
  THndGetData f_HND_GetData = nullptr;
  TInit f_Init = nullptr;
  TTerminate f_Terminate = nullptr;
  TPayStart f_PAY_Start = nullptr;
  TGetResponse f_PAY_GetResponse = nullptr;
  TPayBpeStart f_PAY_BPE_Start = nullptr;
  TGetResponse f_PAY_BPE_GetResponse = nullptr;
};

}  // namespace qv
