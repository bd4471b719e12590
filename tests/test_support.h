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

// The whole content of a file, empty when it cannot be read.
std::string ReadFileBytes(const std::u16string& aPath);
// The text of element aName in a result document, "(missing)" without one.
std::u16string DocumentElement(const std::u16string& aDocument, const std::u16string& aName);
// Today's local date as yyyymmdd, as daily log names carry it.
std::u16string TodayForLogName();

}  // namespace qv
