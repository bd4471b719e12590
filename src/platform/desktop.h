// The desktop services of the application object: a modal message box, the
// calling thread's message queue, a named single-instance mutex, the
// notification-area icon and the small "please wait" window. On win32 these
// are the real user32/shell32/kernel32 services; on posix, where a library has
// no desktop, the message box writes to standard error and the rest keeps
// state only (the mutex is a lock file, so it still excludes other processes).
//
// Thread: the thread that loaded the library (the host's); windows belong to
// the thread that created them. Throws: nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "log/message_type.h"

namespace qv {

// A modal box with one "OK" button: an information box captioned
// "Information" for let_info, an error box captioned "Error" for let_error.
// False where there is no desktop to show it on (posix: the message goes to
// standard error instead).
bool ShowMessageBox(tQV_MessageType aType, const std::u16string& aMessage);
// Handles the calling thread's pending window messages.
void ProcessPendingMessages();
// Posts a quit request to the calling thread's message queue.
void PostQuitRequest();
// Sleeps the calling thread.
void SleepMilliseconds(int aMilliseconds);

// A named mutex owned by the thread that acquired it; released on destruction.
class qNamedMutex {
 public:
  // nullptr when another thread or process owns the mutex of that name.
  static std::unique_ptr<qNamedMutex> TryAcquire(const std::u16string& aName);
  ~qNamedMutex();
  qNamedMutex(const qNamedMutex&) = delete;
  qNamedMutex& operator=(const qNamedMutex&) = delete;

 private:
  explicit qNamedMutex(intptr_t aHandle) : fHandle(aHandle) {}
  intptr_t fHandle;
};

// The registration record of a notification-area icon.
struct tqNotifyIconData {
  uint32_t fSize = 0;
  intptr_t fWindow = 0;
  uint32_t fId = 0;
  uint32_t fCallbackMessage = 0;
  uint32_t fFlags = 0;
};
// Adds (aAdd true) or deletes the icon with the shell; false when refused.
bool RegisterNotifyIcon(const tqNotifyIconData& aData, bool aAdd);

// The borderless stay-on-top window with a centred label. Hidden when made.
class qWaitWindow {
 public:
  static std::unique_ptr<qWaitWindow> Create(const std::u16string& aLabel);
  virtual ~qWaitWindow() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  // Client width and height, and the label's width, height, left and top.
  virtual void Geometry(int& aWidth, int& aHeight, int& aLabelWidth, int& aLabelHeight, int& aLabelLeft,
                        int& aLabelTop) const = 0;
};

}  // namespace qv
