#include "base/application_info.h"

#include <utility>

#include "core/error.h"
#include "core/text.h"
#include "platform/string_table.h"

namespace qv {

namespace {

// Characters aFirst to aFirst + aCount - 1 (counted from 1) of aText as a
// number, or 1 when they are not one.
int DatePart(const std::u16string& aText, size_t aFirst, size_t aCount) {
  const size_t start = aFirst - 1;
  if (start >= aText.size()) return 1;
  return StrToIntDef(std::u16string_view(aText).substr(start, aCount), 1);
}

TDateTime ParseReleaseDate(const std::u16string& aText) {
  TDateTime date = 0;
  if (!TryEncodeDate(DatePart(aText, 7, 4), DatePart(aText, 4, 2), DatePart(aText, 1, 2), date))
    throw qError(u"Invalid argument to date encode");
  return date;
}

}  // namespace

void tQV_ApplicationInfo::Load() { Load(&LoadModuleString); }

void tQV_ApplicationInfo::Load(const tQV_StringLookup& aLookup) {
  // Read into a fresh object and take it over at the end, so that a bad date
  // leaves this one as it was.
  tQV_ApplicationInfo next;
  tQV_ApplicationHistory* current = nullptr;
  int missing = 0;
  for (uint32_t id = kFirstId; missing <= kMaxMissingInARow; ++id) {
    std::u16string entry = aLookup(id);
    if (entry.size() > kMaxStringTableEntry) entry.resize(kMaxStringTableEntry);
    if (entry.empty()) {
      ++missing;
      continue;
    }
    const size_t equals = entry.find(u'=');
    const std::u16string key = UpperCase(std::u16string_view(entry).substr(0, equals));
    const std::u16string value = equals == std::u16string::npos ? std::u16string() : entry.substr(equals + 1);
    if (key == u"$APPDESCRIPTION") {
      next.fDescription = value;
    } else if (key == u"$COPYRIGHT") {
      next.fCopyright = value;
    } else if (key == u"$VERSION") {
      next.fVersion = value;
      next.fHistory.emplace_back();
      current = &next.fHistory.back();
      current->fVersion = value;
    } else if (current && key == u"$AUTHOR") {
      current->fAuthor = value;
    } else if (current && key == u"$RELEASEDATE") {
      current->fReleaseDate = ParseReleaseDate(value);
      next.fReleaseDate = current->fReleaseDate;
    } else if (current && (key == u"$PTEXT" || key == u"$TEXT")) {
      current->fText.push_back(value);
    }
    missing = 0;
  }
  *this = std::move(next);
}

}  // namespace qv
