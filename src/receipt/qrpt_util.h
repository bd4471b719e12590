// qrptUtil: typed readers for the elements of a parsed request, and the
// decoders of the receipt vocabulary. Stateless class functions; any thread.
//
// A missing child is never an error: the readers answer the type's neutral
// value. A value that cannot be read or converted raises qError whose message
// is the reader's line ("Error in processing node <name> as <type>.", CR LF)
// followed by the message of the failure behind it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/currency.h"
#include "core/date_time.h"
#include "platform/xml_dom.h"

namespace qv {

enum tqReceiptMessageLineAlignment { la_right, la_center, la_left };
enum tqReceiptMessageBarcodeType { bt_EAN13, bt_EAN8, bt_CODE39, bt_CODE128, bt_QRCODE, bt_INTERLEAVED2OF5, bt_UPCA, bt_UPCE };
enum tqReceiptLineType {
  rlt_ProductSale,
  rlt_ProductReturn,
  rlt_WeightedProductSale,
  rlt_VoucherSale,
  rlt_VoucherRedeem,
  rlt_GiftCardSale,
  rlt_GitCardRedeem,
  rlt_SubTotal,
  rlt_Text,
  rlt_DiscountAmount,
  rlt_DiscountPercentage,
  rlt_DiscountAmountOnSubtotal,
  rlt_DiscountPercentageOnSubTotal,
  rlt_MarkupAmount,
  rlt_MarkupPercentage,
  rlt_MarkupAmountOnSubtotal,
  rlt_MarkupPercentageOnSubTotal,
  rlt_CollectAmount
};
enum tqReceiptPaymentType {
  rpt_Cash,
  rpt_Cheque,
  rpt_CreditCard,
  rpt_DebitCard,
  rpt_Credit,
  rpt_CreditOnProducts,
  rpt_CreditOnServices,
  Rpt_GiftCard,
  Rpt_Voucher,
  Rpt_MealVoucher,
  Rpt_NHSCard,
  Rpt_Change
};
enum tqReceiptType { rt_Sale, rt_Refund, rt_Void, rt_InvoiceSale, rt_InvoiceSaleFromReceipt };
enum tqReceiptReferenceType { rrt_OriginalReceipt, rrt_EFTReceipt, rrt_NotAvailable, rrt_Empties };
enum tqReceiptTaxType { tt_VAT, tt_SalesTax };
enum tqEJReportType { ejrt_ZReport, ejrt_FiscalReceipt, ejrt_NonFiscalReceipt, ejrt_CreditNote, ejrt_Invoice };
enum tqEJReportDestination { rd_Printer, rd_Memory };
enum tqEJFilesRequestType { ej_xml };

class qrptUtil {
 public:
  // The first direct child element whose qualified or local name is aName
  // (exact, case-sensitive), or null.
  static const XmlNode* FindChild(const XmlNode& aParent, std::u16string_view aName);
  // The element's text: empty without children, the text of a single text or
  // CDATA child, else the error "Element "<name>" does not contain a single
  // text node".
  static std::u16string ElementValue(const XmlNode& aElement);

  static std::u16string GetNodeValueAsString(const XmlNode& aParentNode, std::u16string_view aNodeName);
  static bool GetNodeValueAsBoolean(const XmlNode& aParentNode, std::u16string_view aNodeName);
  static Currency GetNodeValueAsCurrency(const XmlNode& aParentNode, std::u16string_view aNodeName);
  static int32_t GetNodeValueAsInteger(const XmlNode& aParentNode, std::u16string_view aNodeName);
  static TDateTime GetNodeValueAsDateTime(const XmlNode& aParentNode, std::u16string_view aNodeName);
  // As GetNodeValueAsDateTime, but 0 instead of any failure.
  static TDateTime TryGetNodeValueAsDateTime(const XmlNode& aParentNode, std::u16string_view aNodeName);
  static std::u16string GetAttributeValueAsString(const XmlNode& aNode, std::u16string_view aAttrName);
  static bool HasNode(const XmlNode& aParentNode, std::u16string_view aNodeName);

  // ISO 8601 extended date-time; an offset is subtracted to give UTC.
  static TDateTime ISO8601ToDate(std::u16string_view aText);

  static tqReceiptMessageLineAlignment DecodeAlignment(std::u16string_view aAlignment);
  static tqReceiptMessageBarcodeType DecodeBarcodeType(std::u16string_view aBarcodeType);
  static tqReceiptLineType DecodeLineType(std::u16string_view aLineType);
  static tqReceiptPaymentType DecodePaymentType(std::u16string_view aPaymentType);
  static tqReceiptType DecodeReceiptType(std::u16string_view aReceiptType);
  static tqReceiptReferenceType DecodeReferenceType(std::u16string_view aReferenceType);
  static tqReceiptTaxType DecodeTaxType(std::u16string_view aTaxType);
  static tqEJReportType DecodeEJReportType(std::u16string_view aReportType);
  static tqEJReportDestination DecodeEJReportDestination(std::u16string_view aReportDestination);
  static tqEJFilesRequestType DecodeEJRequestType(std::u16string_view aReferenceType);

  // Plain printable ASCII for a printer: a few accented capitals and the euro
  // sign become letters, "TOTALE" becomes "TOT.", every other character
  // outside 32..127 becomes a blank.
  static std::u16string NormalizeText(std::u16string_view aText);
};

}  // namespace qv
