#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "platform/desktop.h"

namespace qv {

namespace {

const wchar_t* W(const std::u16string& aText) { return reinterpret_cast<const wchar_t*>(aText.c_str()); }

}  // namespace

bool ShowMessageBox(tQV_MessageType aType, const std::u16string& aMessage) {
  const bool error = aType == let_error;
  return MessageBoxW(nullptr, W(aMessage), error ? L"Error" : L"Information",
              MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION) | MB_TASKMODAL) != 0;
}

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit request for the host's own loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void PostQuitRequest() { PostQuitMessage(0); }

void SleepMilliseconds(int aMilliseconds) { Sleep(static_cast<DWORD>(aMilliseconds)); }

std::unique_ptr<qNamedMutex> qNamedMutex::TryAcquire(const std::u16string& aName) {
  HANDLE h = CreateMutexW(nullptr, FALSE, W(aName));
  if (!h) return nullptr;
  const DWORD wait = WaitForSingleObject(h, 0);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
    CloseHandle(h);
    return nullptr;
  }
  return std::unique_ptr<qNamedMutex>(new qNamedMutex(reinterpret_cast<intptr_t>(h)));
}

qNamedMutex::~qNamedMutex() {
  HANDLE h = reinterpret_cast<HANDLE>(fHandle);
  ReleaseMutex(h);
  CloseHandle(h);
}

bool RegisterNotifyIcon(const tqNotifyIconData& aData, bool aAdd) {
  NOTIFYICONDATAW nid;
  std::memset(&nid, 0, sizeof(nid));
  nid.cbSize = aData.fSize;
  nid.hWnd = reinterpret_cast<HWND>(aData.fWindow);
  nid.uID = aData.fId;
  nid.uCallbackMessage = aData.fCallbackMessage;
  nid.uFlags = aData.fFlags;
  if (aAdd) nid.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  return Shell_NotifyIconW(aAdd ? NIM_ADD : NIM_DELETE, &nid) != FALSE;
}

namespace {

const wchar_t kWaitClass[] = L"qvpaWaitWindow";
const COLORREF kBackground = RGB(12, 25, 117);

class qWaitWindowWin32 : public qWaitWindow {
 public:
  explicit qWaitWindowWin32(const std::u16string& aLabel) : fLabel(aLabel) {
    HINSTANCE instance = ModuleInstance();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWaitClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_WAIT);
    RegisterClassW(&wc);  // fails harmlessly when already registered

    HDC screen = GetDC(nullptr);
    fFont = CreateFontW(-MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    HGDIOBJ old = SelectObject(screen, fFont);
    SIZE size = {};
    GetTextExtentPoint32W(screen, W(fLabel), static_cast<int>(fLabel.size()), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);

    fLabelWidth = size.cx;
    fLabelHeight = size.cy;
    fWidth = static_cast<int>(fLabelWidth * 1.3);
    fHeight = 50;
    fLabelLeft = (fWidth - fLabelWidth) / 2;
    fLabelTop = (fHeight - fLabelHeight) / 2;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - fWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - fHeight) / 2;
    fWindow = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kWaitClass, L"", WS_POPUP, x, y, fWidth, fHeight,
                              nullptr, nullptr, instance, this);
  }

  ~qWaitWindowWin32() override {
    if (fWindow) DestroyWindow(fWindow);
    if (fFont) DeleteObject(fFont);
  }

  void Show() override {
    if (!fWindow) return;
    ShowWindow(fWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(fWindow);
  }
  void Hide() override {
    if (fWindow) ShowWindow(fWindow, SW_HIDE);
  }
  bool Visible() const override { return fWindow && IsWindowVisible(fWindow); }
  void Geometry(int& aWidth, int& aHeight, int& aLabelWidth, int& aLabelHeight, int& aLabelLeft,
                int& aLabelTop) const override {
    aWidth = fWidth;
    aHeight = fHeight;
    aLabelWidth = fLabelWidth;
    aLabelHeight = fLabelHeight;
    aLabelLeft = fLabelLeft;
    aLabelTop = fLabelTop;
  }

 private:
  static HINSTANCE ModuleInstance() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&WindowProc), &module);
    return module;
  }

  // A window procedure must never let an exception out; nothing here throws.
  static LRESULT CALLBACK WindowProc(HWND aWindow, UINT aMessage, WPARAM aWParam, LPARAM aLParam) {
    if (aMessage == WM_NCCREATE) {
      const auto* cs = reinterpret_cast<CREATESTRUCTW*>(aLParam);
      SetWindowLongPtrW(aWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<qWaitWindowWin32*>(GetWindowLongPtrW(aWindow, GWLP_USERDATA));
    if (aMessage == WM_ERASEBKGND) return 1;
    if (aMessage == WM_PAINT && self) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(aWindow, &ps);
      HBRUSH brush = CreateSolidBrush(kBackground);
      RECT client;
      GetClientRect(aWindow, &client);
      FillRect(dc, &client, brush);
      DeleteObject(brush);
      HGDIOBJ old = SelectObject(dc, self->fFont);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      RECT label = {self->fLabelLeft, self->fLabelTop, self->fLabelLeft + self->fLabelWidth,
                    self->fLabelTop + self->fLabelHeight};
      DrawTextW(dc, W(self->fLabel), static_cast<int>(self->fLabel.size()), &label, DT_CENTER | DT_SINGLELINE);
      SelectObject(dc, old);
      EndPaint(aWindow, &ps);
      return 0;
    }
    return DefWindowProcW(aWindow, aMessage, aWParam, aLParam);
  }

  std::u16string fLabel;
  HWND fWindow = nullptr;
  HFONT fFont = nullptr;
  int fWidth = 100, fHeight = 50, fLabelWidth = 0, fLabelHeight = 0, fLabelLeft = 0, fLabelTop = 0;
};

}  // namespace

std::unique_ptr<qWaitWindow> qWaitWindow::Create(const std::u16string& aLabel) {
  return std::make_unique<qWaitWindowWin32>(aLabel);
}

}  // namespace qv
