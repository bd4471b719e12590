#include "base/user_message.h"

#include <cstdio>
#include <string>
#include <utility>

#include "core/text.h"

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
  // Standard error stands in for the message box until the application
  // object routes messages to its log or to a box.
  const std::string line = std::string(aMessageType == let_error ? "Error: " : "Information: ") + ToUtf8(aMessage) + "\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

tQV_UserMessageSink SetUserMessageSinkForTests(tQV_UserMessageSink aSink) {
  return std::exchange(Sink(), std::move(aSink));
}

}  // namespace qv
