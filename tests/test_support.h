// Helpers shared by the test programs.
#pragma once

#include <string>

#include "core/text.h"

// Runs aStatement and expects a qv::qError whose message equals aMessage.
#define EXPECT_QV_ERROR(aStatement, aMessage)                                         \
  do {                                                                                \
    try {                                                                             \
      aStatement;                                                                     \
      ADD_FAILURE() << "expected an error: " << qv::ToUtf8(aMessage);                 \
    } catch (const qv::qError& e) {                                                   \
      EXPECT_EQ(qv::ToUtf8(e.Message()), qv::ToUtf8(aMessage));                      \
    }                                                                                 \
  } while (0)

namespace qv {

// A connection to the small test library, for requests that open a device.
inline std::u16string SampleConnection() {
  return u"<Connection><Type>dll</Type><LibraryName>" + FromUtf8(QV_SAMPLE_LIBRARY) +
         u"</LibraryName></Connection>";
}

// A fresh, empty folder below the test output folder.
std::u16string FreshTestDir(const char* aName);

}  // namespace qv
