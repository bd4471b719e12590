// The kind of a log entry.
#pragma once

namespace qv {

enum tQV_MessageType { let_info = 0, let_error = 1 };

}  // namespace qv
