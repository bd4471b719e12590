#include "host/result_documents.h"

#include "core/currency.h"
#include "core/date_time.h"
#include "core/text.h"

namespace qv {

namespace {

// Appends elements in the document form; every value goes through one of the
// renderings below so that no field can skip its escaping or number form.
class DocumentWriter {
 public:
  void Text(std::u16string_view aName, std::u16string_view aValue) { Raw(aName, EscapeXml(aValue)); }
  void Boolean(std::u16string_view aName, bool aValue) { Raw(aName, aValue ? u"True" : u"False"); }
  void Integer(std::u16string_view aName, int32_t aValue) { Raw(aName, IntToStr(aValue)); }
  void Amount(std::u16string_view aName, Currency aValue) { Raw(aName, CurrencyToString(aValue)); }
  void DateTime(std::u16string_view aName, TDateTime aValue) { Raw(aName, FormatIsoDateTime(aValue)); }
  // A value that is already document text (the vocabulary words).
  void Raw(std::u16string_view aName, std::u16string_view aValue) {
    if (!fText.empty()) fText += u"\r\n";
    fText += u'<';
    fText += aName;
    fText += u'>';
    fText += aValue;
    fText += u"</";
    fText += aName;
    fText += u'>';
  }

  // Error, ErrorText and LogFileName close every document.
  template <class Record>
  void Outcome(const Record& aResult) {
    Boolean(u"Error", aResult.Error);
    Text(u"ErrorText", aResult.ErrorText);
    Text(u"LogFileName", aResult.LogFileName);
  }

  std::u16string Take() { return std::move(fText); }

 private:
  std::u16string fText;
};

}  // namespace

std::u16string EscapeXml(std::u16string_view aText) {
  std::u16string out;
  out.reserve(aText.size());
  for (char16_t c : aText) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      case u'\'': out += u"&apos;"; break;
      default: out += c; break;
    }
  }
  return out;
}

std::u16string FormatOpenDocument(const _int_OPEN_result& aResult) {
  DocumentWriter w;
  w.Integer(u"Handle", aResult.Handle);
  w.Outcome(aResult);
  return w.Take();
}

std::u16string FormatPayDocument(const _int_PAY_result& aResult) {
  // The element order is the hosts', not the record's; RawResponse stays inside.
  DocumentWriter w;
  w.Text(u"DeviceId", aResult.DeviceId);
  w.DateTime(u"PaymentDateTime", aResult.PaymentDateTime);
  w.Text(u"PaymentNumber", aResult.PaymentNumber);
  w.Amount(u"PaymentAmount", aResult.PaymentAmount);
  w.Text(u"PaymentCurrency", aResult.PaymentCurrency);
  w.Amount(u"ExchangeRate", aResult.ExchangeRate);
  w.Amount(u"PaymentAmountCurrency", aResult.PaymentAmountCurrency);
  w.Text(u"PaymentCurrencyCurrency", aResult.PaymentCurrencyCurrency);
  w.Amount(u"TippedAmount", aResult.TippedAmount);
  w.Amount(u"RemainingBalance", aResult.RemainingBalance);
  w.Text(u"MaskedPAN", aResult.MaskedPAN);
  w.Text(u"SerialNumber", aResult.SerialNumber);
  w.Raw(u"PaymentNetwork", _int_PAY_result::DecodeNetwork(aResult.PaymentNetwork));
  w.Raw(u"TransactionType", _int_PAY_result::DecodeTransactionType(aResult.TransactionType));
  w.Text(u"AuthCode", aResult.AuthCode);
  w.Text(u"TraceAuditId", aResult.TraceAuditId);
  w.Integer(u"NumberOfItems", aResult.NumberOfItems);
  w.Amount(u"SingleItemAmount", aResult.SingleItemAmount);
  w.Boolean(u"SignatureRequested", aResult.SignatureRequested);
  w.Text(u"CustomerCountryCode", aResult.CustomerCountryCode);
  w.Text(u"ReceiptText", aResult.ReceiptText);
  w.Text(u"CashierReceiptText", aResult.CashierReceiptText);
  w.Outcome(aResult);
  return w.Take();
}

std::u16string FormatReprintDocument(const _int_REPRINT_result& aResult) {
  DocumentWriter w;
  w.Text(u"ReceiptText", aResult.ReceiptText);
  w.Outcome(aResult);
  return w.Take();
}

std::u16string FormatGetStatusDocument(const _int_GETSTATUS_result& aResult) {
  DocumentWriter w;
  w.Boolean(u"DayOpened", aResult.DayOpened);
  w.DateTime(u"DateTime", aResult.DateTime);
  w.Boolean(u"PaperEnd", aResult.PaperEnd);
  w.Boolean(u"PaperNearEnd", aResult.PaperNearEnd);
  w.Boolean(u"CoverOpen", aResult.CoverOpen);
  w.Boolean(u"FiscalReceiptOpen", aResult.FiscalReceiptOpen);
  w.Boolean(u"ReceiptOpen", aResult.ReceiptOpen);
  w.Boolean(u"TrainingMode", aResult.TrainingMode);
  w.Text(u"FirmwareVersion", aResult.FirmwareVersion);
  w.Text(u"SerialNumber", aResult.SerialNumber);
  w.Text(u"FiscalMode", aResult.FiscalMode);
  w.Outcome(aResult);
  return w.Take();
}

std::u16string FormatCloseDocument(const _int_CLOSE_result& aResult) {
  DocumentWriter w;
  w.Outcome(aResult);
  return w.Take();
}

}  // namespace qv
