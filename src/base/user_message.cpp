#include "base/user_message.h"

#include <string>
#include <utility>

#include "base/application.h"
#include "platform/desktop.h"

namespace qv {

namespace {

tQV_UserMessageSink& Sink() {
  static tQV_UserMessageSink sink;
  return sink;
}

}  // namespace

void ShowUserMessage(tQV_MessageType aMessageType, const std::u16string& aMessage) {
  if (const tQV_UserMessageSink& sink = Sink()) {
    sink(aMessageType, aMessage);
    return;
  }
  tQV_Application* app = Application();
  if (!app) {
    // Before the application object exists (or after it is gone) there is
    // no log and no batch switch to consult.
    ShowMessageBox(aMessageType, aMessage);
    return;
  }
  // The wait window would cover the message: hide it while the message is up.
  const bool waitShown = app->Wait().Started();
  if (waitShown) app->Wait().Stop();
  if (app->IsBatch()) {
    app->Log(let_error, aMessage);
  } else if (!ShowMessageBox(aMessageType, aMessage)) {
    // Nobody saw a box (a build without a desktop): keep the message in the
    // application log too.
    app->Log(aMessageType, aMessage);
  }
  if (waitShown) app->Wait().Start();
}

tQV_UserMessageSink SetUserMessageSinkForTests(tQV_UserMessageSink aSink) {
  return std::exchange(Sink(), std::move(aSink));
}

}  // namespace qv
