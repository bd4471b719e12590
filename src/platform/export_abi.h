// The calling convention and visibility of the library's exported functions.
// Hosts on Windows call them as stdcall under undecorated names (the .def
// file maps the names); on posix they are plain C functions and the only
// symbols with default visibility.
#pragma once

#if defined(_WIN32)
#define QV_STDCALL __stdcall
#define QV_EXPORT
#else
#define QV_STDCALL
#define QV_EXPORT __attribute__((visibility("default")))
#endif
