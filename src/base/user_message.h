// The application's user message operation: how the library tells the person
// at the till about a problem it does not raise to the caller (a settings
// write that could not be saved, for one).
//
// In batch mode (the host started with /BATCH) the message becomes an error
// entry of the application log; otherwise a modal box shows it (on posix:
// standard error and the application log). The wait window is hidden while
// the message is up. Tests may install a sink that takes the message
// instead; it is process-wide and not guarded: install it before the code
// under test runs.
// Throws: nothing of its own; a sink may throw.
// Thread: the host's calling thread.
#pragma once

#include <functional>
#include <string>

#include "log/message_type.h"

namespace qv {

void ShowUserMessage(tQV_MessageType aMessageType, const std::u16string& aMessage);

// Replaces where ShowUserMessage delivers; an empty function restores
// standard error. Answers the sink that was installed before.
using tQV_UserMessageSink = std::function<void(tQV_MessageType, const std::u16string&)>;
tQV_UserMessageSink SetUserMessageSinkForTests(tQV_UserMessageSink aSink);

}  // namespace qv
