// tQV_Wait: the "please wait" window a long operation may show. Created
// hidden by the application object; ShowUserMessage hides it while a message
// is up and shows it again afterwards.
// Owns: the platform window. Throws: nothing. Thread: the thread that loaded
// the library.
#pragma once

#include <memory>

#include "platform/desktop.h"

namespace qv {

class tQV_Wait {
 public:
  tQV_Wait();
  ~tQV_Wait();

  void Start();
  void Stop();
  bool Started() const { return fStarted; }
  const qWaitWindow& Form() const { return *fForm; }

 private:
  std::unique_ptr<qWaitWindow> fForm;
  bool fStarted = false;
};

}  // namespace qv
