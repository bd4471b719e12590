#include "base/wait.h"

namespace qv {

tQV_Wait::tQV_Wait() : fForm(qWaitWindow::Create(u"Attendere prego ...")) {}

tQV_Wait::~tQV_Wait() = default;

void tQV_Wait::Start() {
  fForm->Show();
  fStarted = true;
  // Paint the window now rather than when the host next pumps messages.
  ProcessPendingMessages();
}

void tQV_Wait::Stop() {
  fStarted = false;
  fForm->Hide();
}

}  // namespace qv
