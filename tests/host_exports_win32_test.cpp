// What only a Windows host sees: the exports by ordinal.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "core/text.h"
#include "host_library.h"

namespace qvtest {
namespace {

TEST(HostExportsWin32Test, OrdinalsMatchTheNames) {
  HostLibrary lib(QV_TEST_PRODUCT_LIBRARY);
  const auto module = static_cast<HMODULE>(lib.NativeHandle());
  struct Case {
    WORD ordinal;
    const char* name;
  } cases[] = {{2, "PAY"}, {3, "REPRINT"}, {4, "OPEN"}, {5, "GETSTATUS"}, {6, "CLOSE"}, {7, "VERSION"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(c.ordinal));
    ASSERT_NE(byOrdinal, nullptr);
    EXPECT_EQ(byOrdinal, GetProcAddress(module, c.name));
  }
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(8)), nullptr);
  // Decorated stdcall names are not exported.
  EXPECT_EQ(GetProcAddress(module, "PAY@12"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "_PAY@12"), nullptr);

  // A call by ordinal, with strings from oleaut32 freed by the host.
  const auto getStatus = reinterpret_cast<CommandFn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(5))));
  BSTR request = SysAllocString(L"<x/>");
  BSTR output = SysAllocString(L"previous");
  BSTR previous = output;
  BSTR error = nullptr;
  EXPECT_EQ(getStatus(reinterpret_cast<HostStr>(request), reinterpret_cast<HostStr*>(&output),
                      reinterpret_cast<HostStr*>(&error)),
            0u);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(std::wstring(output, SysStringLen(output)).rfind(L"<LogFileName></LogFileName>"),
            SysStringLen(output) - 27);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(std::wstring(previous), L"previous");
  SysFreeString(output);
  SysFreeString(previous);
  SysFreeString(request);
}

}  // namespace
}  // namespace qvtest
