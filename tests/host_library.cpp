#include "host_library.h"

#include <stdexcept>

namespace qvtest {

CommandFn HostLibrary::Command(const char* aName) const {
  void* symbol = Symbol(aName);
  if (symbol == nullptr) throw std::runtime_error(std::string("missing export ") + aName);
  return reinterpret_cast<CommandFn>(symbol);
}

VersionFn HostLibrary::Version() const {
  void* symbol = Symbol("VERSION");
  if (symbol == nullptr) throw std::runtime_error("missing export VERSION");
  return reinterpret_cast<VersionFn>(symbol);
}

HostCall HostLibrary::Call(const char* aName, std::u16string_view aRequest, bool aNullRequest) const {
  HostStr request = aNullRequest ? nullptr : Alloc(aRequest);
  HostStr output = nullptr;
  HostStr error = nullptr;
  HostCall call;
  call.fCode = Command(aName)(request, &output, &error);
  call.fOutputNull = output == nullptr;
  call.fOutput = Text(output);
  call.fErrorNull = error == nullptr;
  call.fError = Text(error);
  Free(output);
  Free(error);
  Free(request);
  return call;
}

}  // namespace qvtest
