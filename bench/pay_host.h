// A host for the benchmarks: loads the built payment library, gives it an
// instant simulated terminal and calls its exports the way a host does.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <stdlib.h>
#include <string>

#include "core/text.h"
#include "platform/dynamic_library.h"
#include "platform/export_abi.h"

namespace qvbench {

class PayHost {
 public:
  using HostStr = char16_t*;
  using CommandFn = uint32_t(QV_STDCALL*)(HostStr, HostStr*, HostStr*);

  // aWorkDir holds the scenario, the trace (none) and the counter store.
  explicit PayHost(const std::string& aWorkDir) : fWorkDir(aWorkDir) {
    setenv("QV_REGISTRY_DIR", (aWorkDir + "/registry").c_str(), 1);
    std::ofstream(aWorkDir + "/terminal.cfg") << kScenario;
    uint32_t code = 0;
    std::u16string text;
    fLibrary = qv::qDynamicLibrary::Load(qv::FromUtf8(QV_PRODUCT_LIBRARY), code, text);
    if (!fLibrary) throw std::runtime_error("cannot load " + std::string(QV_PRODUCT_LIBRARY));
    fAlloc = reinterpret_cast<HostStr(QV_STDCALL*)(const char16_t*, uint32_t)>(
        fLibrary->GetAddress("SysAllocStringLen"));
    fFree = reinterpret_cast<void(QV_STDCALL*)(HostStr)>(fLibrary->GetAddress("SysFreeString"));
    fPay = reinterpret_cast<CommandFn>(fLibrary->GetAddress("PAY"));
    fOpen = reinterpret_cast<CommandFn>(fLibrary->GetAddress("OPEN"));
  }

  std::u16string OpenRequest() const {
    return u"<Request><Driver>QVPA_ZELQ_10</Driver><LogId>bench</LogId><Connection><Type>dll</Type><LibraryName>" +
           qv::FromUtf8(QV_ZEFT_SIM) + u"</LibraryName></Connection><Parameters><ConfigFileName>" +
           qv::FromUtf8(fWorkDir + "/terminal.cfg") + u"</ConfigFileName></Parameters></Request>";
  }

  static std::u16string PayRequest() {
    return u"<Request><Handle>1</Handle><Payment><MerchantCode>1234</MerchantCode><StoreCode>12</StoreCode>"
           u"<TillCode>3</TillCode><Reference>42</Reference><Amount>12.50</Amount><Currency>EUR</Currency>"
           u"</Payment></Request>";
  }

  // Calls aFn with aRequest; answers the result code and frees the outputs.
  uint32_t Call(CommandFn aFn, HostStr aRequest) const {
    HostStr output = nullptr, error = nullptr;
    const uint32_t code = aFn(aRequest, &output, &error);
    fFree(output);
    fFree(error);
    return code;
  }

  HostStr Alloc(const std::u16string& aText) const { return fAlloc(aText.data(), static_cast<uint32_t>(aText.size())); }
  void Free(HostStr aText) const { fFree(aText); }
  CommandFn Pay() const { return fPay; }
  CommandFn Open() const { return fOpen; }

  // An approved card payment, answered at once.
  static constexpr const char* kScenario =
      "field 20003 = 100\nfield 21000 = ************4242\nfield 21027 = TERM\nfield 21011 = 20261211\n"
      "field 21012 = 101500\nfield 20004 = 000731\nfield 21015 = 1250\nfield 21013 = 004711\n"
      "field 21005 = 81A4C2\nfield 21001 = 32\nfield 21020 = 2:VISA\n"
      "field 20000 = ZELQ DEMO SHOP          CARD PAYMENT            AMOUNT EUR 12.50        \n"
      "field 20001 = 3\nfield 20002 = 24\n";

 private:
  std::string fWorkDir;
  std::unique_ptr<qv::qDynamicLibrary> fLibrary;
  HostStr (QV_STDCALL* fAlloc)(const char16_t*, uint32_t) = nullptr;
  void (QV_STDCALL* fFree)(HostStr) = nullptr;
  CommandFn fPay = nullptr;
  CommandFn fOpen = nullptr;
};

}  // namespace qvbench
