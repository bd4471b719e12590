// The library's version information: description, copyright line, current
// version and release date, and the release history, read from the entries of
// the library's string table that start at id 10000.
//
// Ownership: tQV_ApplicationInfo owns its history entries, each entry its
// text lines.
// Throws: Load raises qError "Invalid argument to date encode" for a release
// date that names no day of the calendar.
// Thread: one thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/date_time.h"

namespace qv {

class tQV_ApplicationHistory {
 public:
  const std::u16string& Version() const { return fVersion; }
  TDateTime ReleaseDate() const { return fReleaseDate; }
  const std::u16string& Author() const { return fAuthor; }
  const std::vector<std::u16string>& Text() const { return fText; }

 private:
  friend class tQV_ApplicationInfo;
  std::u16string fVersion;
  TDateTime fReleaseDate = 0;
  std::u16string fAuthor;
  std::vector<std::u16string> fText;
};

class tQV_ApplicationInfo {
 public:
  // Answers the text of a string-table entry, empty when there is none.
  using tQV_StringLookup = std::function<std::u16string(uint32_t aId)>;

  // The first id read, and how many missing ids in a row end the reading.
  static constexpr uint32_t kFirstId = 10000;
  static constexpr int kMaxMissingInARow = 10;

  // Fills the information from the library's own string table.
  void Load();
  // Fills the information from the entries aLookup answers. Each entry is
  // "KEY=value": the key is compared in upper case, the value is everything
  // after the first "=". The reading stops after 11 missing (or empty) ids in
  // a row. Release dates are DD/MM/YYYY; a part that is not a number counts
  // as 1. On an error nothing of this object changes.
  void Load(const tQV_StringLookup& aLookup);

  const std::u16string& Description() const { return fDescription; }
  const std::u16string& Copyright() const { return fCopyright; }
  const std::u16string& Version() const { return fVersion; }
  TDateTime ReleaseDate() const { return fReleaseDate; }
  const std::vector<tQV_ApplicationHistory>& History() const { return fHistory; }

 private:
  std::u16string fDescription;
  std::u16string fCopyright;
  std::u16string fVersion;
  TDateTime fReleaseDate = 0;
  std::vector<tQV_ApplicationHistory> fHistory;
};

}  // namespace qv
