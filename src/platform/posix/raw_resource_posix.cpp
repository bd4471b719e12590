#include "platform/raw_resource.h"

namespace qv {

// The shared library carries no resources; what the win32 build keeps there
// is compiled in elsewhere.
bool LoadRawDataResource(const std::u16string&, std::u16string&) { return false; }

}  // namespace qv
