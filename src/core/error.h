// The one error type of the library: a failure carrying a UTF-16 message.
// Raised anywhere below the command objects; only the command objects (and the
// guards at exported functions and thread entry points) catch it.
#pragma once

#include <exception>
#include <string>

namespace qv {

class qError : public std::exception {
 public:
  explicit qError(std::u16string aMessage);

  const std::u16string& Message() const noexcept { return fMessage; }
  // The message as UTF-8, for diagnostics only.
  const char* what() const noexcept override { return fUtf8.c_str(); }

 private:
  std::u16string fMessage;
  std::string fUtf8;
};

// Replaces the first "%s" of aPattern with aValue; the rest of the pattern is
// copied as it stands, and aValue is never interpreted.
std::u16string FormatS(std::u16string_view aPattern, std::u16string_view aValue);

}  // namespace qv
