#include "receipt/qrpt_util.h"

#include <cmath>
#include <utility>

#include "core/error.h"
#include "core/text.h"
#include "platform/regional_settings.h"

namespace qv {

namespace {

// Runs aRead under the reader's guard: a failure gets the reader's line in
// front of its own message.
template <typename Read>
auto Guarded(const char16_t* aLine, std::u16string_view aNodeName, Read&& aRead) -> decltype(aRead()) {
  try {
    return aRead();
  } catch (const qError& e) {
    throw qError(FormatS(aLine, aNodeName) + e.Message());
  }
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads a run of digits at aPos; false when there is none. Saturates far
// above any valid field so that the range check still fails.
bool ReadNumber(std::u16string_view aText, size_t& aPos, int& aValue, int* aDigits = nullptr) {
  const size_t start = aPos;
  int64_t value = 0;
  while (aPos < aText.size() && IsDigit(aText[aPos])) {
    if (value < 100000000) value = value * 10 + (aText[aPos] - u'0');
    ++aPos;
  }
  if (aDigits) *aDigits = static_cast<int>(aPos - start);
  aValue = static_cast<int>(value);
  return aPos > start;
}

[[noreturn]] void EncodeError() { throw qError(u"Invalid argument to date encode"); }

template <typename E, size_t N>
E Decode(std::u16string_view aWord, const std::pair<const char16_t*, E> (&aTable)[N], const char16_t* aPattern) {
  const std::u16string word = LowerCase(aWord);
  for (const auto& row : aTable)
    if (word == row.first) return row.second;
  throw qError(FormatS(aPattern, word));
}

}  // namespace

const XmlNode* qrptUtil::FindChild(const XmlNode& aParent, std::u16string_view aName) {
  for (const XmlNode& child : aParent.fChildren)
    if (child.IsElement() && (child.fName == aName || child.LocalName() == aName)) return &child;
  return nullptr;
}

std::u16string qrptUtil::ElementValue(const XmlNode& aElement) {
  if (aElement.fChildren.empty()) return std::u16string();
  if (aElement.fChildren.size() == 1) {
    const XmlNode& only = aElement.fChildren[0];
    if (only.fKind == XmlNodeKind::Text || only.fKind == XmlNodeKind::CData) return only.fValue;
  }
  throw qError(FormatS(u"Element \"%s\" does not contain a single text node", aElement.fName));
}

std::u16string qrptUtil::GetNodeValueAsString(const XmlNode& aParentNode, std::u16string_view aNodeName) {
  const XmlNode* node = FindChild(aParentNode, aNodeName);
  if (!node) return std::u16string();
  return Guarded(u"Error in processing node %s as string.\r\n", aNodeName, [&] { return ElementValue(*node); });
}

bool qrptUtil::GetNodeValueAsBoolean(const XmlNode& aParentNode, std::u16string_view aNodeName) {
  const XmlNode* node = FindChild(aParentNode, aNodeName);
  if (!node) return false;
  return Guarded(u"Error in processing node %s as boolean.\r\n", aNodeName, [&] {
    const std::u16string text = ElementValue(*node);
    DecimalNumber number;
    if (TryParseDecimal(text, RegionalDecimalSeparator(), number)) return !number.IsZero();
    if (SameText(text, u"True")) return true;
    if (SameText(text, u"False")) return false;
    throw qError(FormatS(u"'%s' is not a valid boolean value", text));
  });
}

Currency qrptUtil::GetNodeValueAsCurrency(const XmlNode& aParentNode, std::u16string_view aNodeName) {
  const XmlNode* node = FindChild(aParentNode, aNodeName);
  if (!node) return Currency();
  return Guarded(u"Error in processing node %s as currency.\r\n", aNodeName, [&] {
    const std::u16string text = ElementValue(*node);
    Currency value;
    if (text.empty()) return value;
    if (!TryStrToCurrency(text, value)) throw qError(FormatS(u"'%s' is not a valid floating point value", text));
    return value;
  });
}

int32_t qrptUtil::GetNodeValueAsInteger(const XmlNode& aParentNode, std::u16string_view aNodeName) {
  const XmlNode* node = FindChild(aParentNode, aNodeName);
  if (!node) return 0;
  return Guarded(u"Error in processing node %s as integer.\r\n", aNodeName, [&] {
    const std::u16string text = ElementValue(*node);
    int32_t value = 0;
    if (text.empty()) return value;
    if (!TryStrToInt(text, value)) throw qError(FormatS(u"'%s' is not a valid integer value", text));
    return value;
  });
}

TDateTime qrptUtil::GetNodeValueAsDateTime(const XmlNode& aParentNode, std::u16string_view aNodeName) {
  const XmlNode* node = FindChild(aParentNode, aNodeName);
  if (!node) return 0;
  return Guarded(u"Error in processing node %s as datetime.\r\n", aNodeName,
                 [&] { return ISO8601ToDate(ElementValue(*node)); });
}

TDateTime qrptUtil::TryGetNodeValueAsDateTime(const XmlNode& aParentNode, std::u16string_view aNodeName) {
  try {
    return GetNodeValueAsDateTime(aParentNode, aNodeName);
  } catch (const qError&) {
    return 0;
  }
}

std::u16string qrptUtil::GetAttributeValueAsString(const XmlNode& aNode, std::u16string_view aAttrName) {
  for (const auto& attr : aNode.fAttributes)
    if (attr.first == aAttrName) return attr.second;
  return std::u16string();
}

bool qrptUtil::HasNode(const XmlNode& aParentNode, std::u16string_view aNodeName) {
  return FindChild(aParentNode, aNodeName) != nullptr;
}

TDateTime qrptUtil::ISO8601ToDate(std::u16string_view aText) {
  const size_t t = aText.find(u'T');
  const std::u16string_view datePart = aText.substr(0, t);
  const std::u16string_view timePart = t == std::u16string_view::npos ? std::u16string_view() : aText.substr(t + 1);

  const auto badDate = [&]() { throw qError(u"Invalid date string: " + std::u16string(datePart)); };
  std::u16string_view date = datePart;
  if (!date.empty() && date[0] == u'-') date.remove_prefix(1);
  if (datePart.size() < 4) badDate();
  size_t pos = 0;
  int yearDigits = 0;
  DateTimeParts parts;
  parts.fMonth = 0;
  parts.fDay = 0;
  if (!ReadNumber(date, pos, parts.fYear, &yearDigits)) badDate();
  if (pos < date.size() && date[pos] == u'-') {
    ++pos;
    if (!ReadNumber(date, pos, parts.fMonth)) badDate();
    if (pos < date.size() && date[pos] == u'-') {
      ++pos;
      if (!ReadNumber(date, pos, parts.fDay)) badDate();
    }
  }
  if (pos != date.size()) badDate();

  int offsetMinutes = 0;
  if (t != std::u16string_view::npos) {
    const auto badTime = [&]() { throw qError(u"Invalid time string: " + std::u16string(timePart)); };
    pos = 0;
    if (!ReadNumber(timePart, pos, parts.fHour)) badTime();
    if (pos < timePart.size() && timePart[pos] != u':') badTime();
    if (pos < timePart.size()) {
      ++pos;
      if (!ReadNumber(timePart, pos, parts.fMinute)) badTime();
      if (pos < timePart.size() && timePart[pos] == u':') {
        ++pos;
        if (!ReadNumber(timePart, pos, parts.fSecond)) badTime();
        if (pos < timePart.size() && timePart[pos] == u'.') {
          ++pos;
          int fraction = 0, digits = 0;
          if (!ReadNumber(timePart, pos, fraction, &digits)) badTime();
          if (digits > 3) EncodeError();
          parts.fMillisecond = fraction * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
        }
      }
      if (pos < timePart.size() && (timePart[pos] == u'+' || timePart[pos] == u'-')) {
        const std::u16string_view offset = timePart.substr(pos);
        const int sign = timePart[pos] == u'-' ? -1 : 1;
        ++pos;
        int hours = 0, minutes = 0;
        if (!ReadNumber(timePart, pos, hours)) badTime();
        if (pos < timePart.size() && timePart[pos] == u':') {
          ++pos;
          if (!ReadNumber(timePart, pos, minutes))
            throw qError(u"Invalid time Offset string: " + std::u16string(offset));
        }
        offsetMinutes = sign * (hours * 60 + minutes);
      }
      // Anything after this point (a "Z", say) ends the parse.
    }
  }
  if (yearDigits > 4) EncodeError();
  TDateTime result;
  if (!TryEncodeDateTime(parts, result)) EncodeError();
  if (offsetMinutes != 0) {
    // Move the wall-clock fields by the offset, so that days before
    // 1899-12-30 come out right too.
    TDateTime day;
    TryEncodeDate(parts.fYear, parts.fMonth, parts.fDay, day);
    int64_t minutes = static_cast<int64_t>(day) * 1440 + parts.fHour * 60 + parts.fMinute - offsetMinutes;
    int64_t days = minutes >= 0 ? minutes / 1440 : -((-minutes + 1439) / 1440);
    minutes -= days * 1440;
    const DateTimeParts moved = DecodeDateTime(static_cast<double>(days));
    TDateTime time;
    if (moved.fYear < 1 || moved.fYear > 9999 ||
        !TryEncodeTime(static_cast<int>(minutes / 60), static_cast<int>(minutes % 60), parts.fSecond,
                       parts.fMillisecond, time))
      EncodeError();
    result = ComposeDateTime(static_cast<double>(days), time);
  }
  return result;
}

tqReceiptMessageLineAlignment qrptUtil::DecodeAlignment(std::u16string_view aAlignment) {
  static const std::pair<const char16_t*, tqReceiptMessageLineAlignment> table[] = {
      {u"left", la_left}, {u"right", la_right}, {u"center", la_center}};
  return Decode(aAlignment, table, u"Alignment %s is invalid");
}

tqReceiptMessageBarcodeType qrptUtil::DecodeBarcodeType(std::u16string_view aBarcodeType) {
  static const std::pair<const char16_t*, tqReceiptMessageBarcodeType> table[] = {
      {u"ean13", bt_EAN13},   {u"ean8", bt_EAN8},     {u"code39", bt_CODE39}, {u"code128", bt_CODE128},
      {u"qrcode", bt_QRCODE}, {u"upca", bt_UPCA},     {u"upce", bt_UPCE}};
  return Decode(aBarcodeType, table, u"BarcodeType %s is invalid");
}

tqReceiptLineType qrptUtil::DecodeLineType(std::u16string_view aLineType) {
  static const std::pair<const char16_t*, tqReceiptLineType> table[] = {
      {u"productsale", rlt_ProductSale},
      {u"productreturn", rlt_ProductReturn},
      {u"weightedproductsale", rlt_WeightedProductSale},
      {u"vouchersale", rlt_VoucherSale},
      {u"voucherredeem", rlt_VoucherRedeem},
      {u"giftcardsale", rlt_GiftCardSale},
      {u"giftcardredeem", rlt_GitCardRedeem},
      {u"subtotal", rlt_SubTotal},
      {u"text", rlt_Text},
      {u"discountamount", rlt_DiscountAmount},
      {u"discountpercentage", rlt_DiscountPercentage},
      {u"discountamountonsubtotal", rlt_DiscountAmountOnSubtotal},
      {u"discountpercentageonsubtotal", rlt_DiscountPercentageOnSubTotal},
      {u"markupamount", rlt_MarkupAmount},
      {u"markuppercentage", rlt_MarkupPercentage},
      {u"markupamountonsubtotal", rlt_MarkupAmountOnSubtotal},
      {u"markuppercentageonsubtotal", rlt_MarkupPercentageOnSubTotal},
      {u"collectamount", rlt_CollectAmount}};
  return Decode(aLineType, table, u"LineType %s is invalid");
}

tqReceiptPaymentType qrptUtil::DecodePaymentType(std::u16string_view aPaymentType) {
  static const std::pair<const char16_t*, tqReceiptPaymentType> table[] = {
      {u"cash", rpt_Cash},           {u"cheque", rpt_Cheque},
      {u"creditcard", rpt_CreditCard}, {u"debitcard", rpt_DebitCard},
      {u"credit", rpt_Credit},       {u"creditonproducts", rpt_CreditOnProducts},
      {u"creditonservices", rpt_CreditOnServices}, {u"giftcard", Rpt_GiftCard},
      {u"voucher", Rpt_Voucher},     {u"mealvoucher", Rpt_MealVoucher},
      {u"nhscard", Rpt_NHSCard},     {u"change", Rpt_Change}};
  return Decode(aPaymentType, table, u"PaymentType %s is invalid");
}

tqReceiptType qrptUtil::DecodeReceiptType(std::u16string_view aReceiptType) {
  static const std::pair<const char16_t*, tqReceiptType> table[] = {
      {u"sale", rt_Sale}, {u"refund", rt_Refund}, {u"void", rt_Void}, {u"invoicesale", rt_InvoiceSale},
      {u"invoicesalefromreceipt", rt_InvoiceSaleFromReceipt}};
  return Decode(aReceiptType, table, u"ReceiptType %s is invalid");
}

tqReceiptReferenceType qrptUtil::DecodeReferenceType(std::u16string_view aReferenceType) {
  const std::u16string word = LowerCase(aReferenceType);
  if (word == u"eftreceipt") return rrt_EFTReceipt;
  if (word == u"empties") return rrt_Empties;
  if (word == u"notavailable") return rrt_NotAvailable;
  return rrt_OriginalReceipt;
}

tqReceiptTaxType qrptUtil::DecodeTaxType(std::u16string_view aTaxType) {
  static const std::pair<const char16_t*, tqReceiptTaxType> table[] = {{u"vat", tt_VAT}, {u"salestax", tt_SalesTax}};
  return Decode(aTaxType, table, u"TaxType %s is invalid");
}

tqEJReportType qrptUtil::DecodeEJReportType(std::u16string_view aReportType) {
  static const std::pair<const char16_t*, tqEJReportType> table[] = {{u"zreport", ejrt_ZReport},
                                                                     {u"fiscalreceipt", ejrt_FiscalReceipt},
                                                                     {u"nonfiscalreceipt", ejrt_NonFiscalReceipt},
                                                                     {u"invoice", ejrt_Invoice},
                                                                     {u"creditnote", ejrt_CreditNote}};
  return Decode(aReportType, table, u"ReportType %s is invalid");
}

tqEJReportDestination qrptUtil::DecodeEJReportDestination(std::u16string_view aReportDestination) {
  static const std::pair<const char16_t*, tqEJReportDestination> table[] = {{u"printer", rd_Printer},
                                                                            {u"memory", rd_Memory}};
  return Decode(aReportDestination, table, u"ReportDestination %s is invalid");
}

tqEJFilesRequestType qrptUtil::DecodeEJRequestType(std::u16string_view aReferenceType) {
  static const std::pair<const char16_t*, tqEJFilesRequestType> table[] = {{u"xml", ej_xml}};
  return Decode(aReferenceType, table, u"ReferenceType %s is invalid");
}

std::u16string qrptUtil::NormalizeText(std::u16string_view aText) {
  static const std::pair<char16_t, char16_t> kCapitals[] = {
      {0x00C0, u'A'}, {0x00D9, u'U'}, {0x00C8, u'E'}, {0x00C9, u'E'}, {0x00D2, u'O'},
      {0x00D6, u'O'}, {0x00C7, u'C'}, {0x00CF, u'I'}, {0x00CC, u'I'}, {0x20AC, u'E'}};
  std::u16string text(aText);
  for (const auto& [from, to] : kCapitals)
    for (auto& c : text)
      if (c == from) c = to;
  std::u16string replaced;
  replaced.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 6, u"TOTALE") == 0) {
      replaced += u"TOT.";
      i += 6;
    } else {
      replaced.push_back(text[i++]);
    }
  }
  for (auto& c : replaced)
    if (c < 32 || c > 127) c = u' ';
  return replaced;
}

}  // namespace qv
