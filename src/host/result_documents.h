// The result documents that the commands hand to the host: a sequence of
// elements without a root or a declaration, one "<Name>value</Name>" per
// field, CR LF between elements and none after the last. Hosts parse these
// texts, so element order, words and number forms are fixed: amounts and
// date-times never follow the machine's regional settings.
//
// Pure functions; throw only std::bad_alloc.
#pragma once

#include <string>
#include <string_view>

#include "payment/payment_results.h"

namespace qv {

// Replaces "&", "<", ">", the double quote and "'" by their entities, "&"
// first so that the later entities stay intact. Nothing else is touched.
std::u16string EscapeXml(std::u16string_view aText);

std::u16string FormatOpenDocument(const _int_OPEN_result& aResult);
std::u16string FormatPayDocument(const _int_PAY_result& aResult);
std::u16string FormatReprintDocument(const _int_REPRINT_result& aResult);
std::u16string FormatGetStatusDocument(const _int_GETSTATUS_result& aResult);
std::u16string FormatCloseDocument(const _int_CLOSE_result& aResult);

}  // namespace qv
