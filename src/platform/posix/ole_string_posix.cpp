// Our own OLE string allocator for posix hosts. The layout is the Windows
// one, so host code written against it works unchanged: a 32-bit byte length,
// the UTF-16 text, a 16-bit NUL. The block comes from malloc, so strings made
// by any copy of this allocator (the library's or a host's) can be freed by
// any other.
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/export_abi.h"
#include "platform/ole_string.h"

namespace qv {

namespace {

constexpr size_t kPrefixBytes = sizeof(uint32_t);
// The byte length must fit the 32-bit prefix, the NUL included.
constexpr uint32_t kMaxLength = (UINT32_MAX - 2) / 2;

// Null when the length cannot be represented or the memory is not there.
OleStr TryAlloc(const char16_t* aText, uint32_t aLength) noexcept {
  if (aLength > kMaxLength) return nullptr;
  const uint32_t bytes = aLength * 2;
  auto* block = static_cast<unsigned char*>(std::malloc(kPrefixBytes + bytes + sizeof(char16_t)));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &bytes, kPrefixBytes);
  auto* text = reinterpret_cast<char16_t*>(block + kPrefixBytes);
  if (aText != nullptr) {
    std::memcpy(text, aText, bytes);
  } else {
    std::memset(text, 0, bytes);
  }
  text[aLength] = 0;
  return text;
}

uint32_t ByteLength(const char16_t* aString) noexcept {
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(aString) - kPrefixBytes, kPrefixBytes);
  return bytes;
}

}  // namespace

OleStr OleAllocString(const char16_t* aText, uint32_t aLength) {
  OleStr result = TryAlloc(aText, aLength);
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

void OleFreeString(OleStr aString) {
  if (aString != nullptr) std::free(reinterpret_cast<unsigned char*>(aString) - kPrefixBytes);
}

uint32_t OleStringLength(const char16_t* aString) {
  return aString == nullptr ? 0 : ByteLength(aString) / 2;
}

}  // namespace qv

// The allocator as posix hosts call it, under the Windows names.
extern "C" {

QV_EXPORT char16_t* SysAllocStringLen(const char16_t* aText, unsigned int aLength) {
  return qv::TryAlloc(aText, aLength);
}

QV_EXPORT char16_t* SysAllocString(const char16_t* aText) {
  if (aText == nullptr) return nullptr;
  size_t length = 0;
  while (aText[length] != 0) ++length;
  if (length > UINT32_MAX) return nullptr;
  return qv::TryAlloc(aText, static_cast<uint32_t>(length));
}

QV_EXPORT void SysFreeString(char16_t* aString) { qv::OleFreeString(aString); }

QV_EXPORT unsigned int SysStringLen(char16_t* aString) { return qv::OleStringLength(aString); }

}  // extern "C"
