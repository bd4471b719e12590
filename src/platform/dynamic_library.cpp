#include "platform/dynamic_library.h"

namespace qv {

std::u16string TrimSystemMessage(std::u16string aText) {
  while (!aText.empty() && (aText.back() <= u' ' || aText.back() == u'.')) aText.pop_back();
  return aText;
}

}  // namespace qv
