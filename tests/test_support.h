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
