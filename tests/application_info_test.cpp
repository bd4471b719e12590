#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/application_info.h"
#include "core/date_time.h"
#include "core/error.h"
#include "core/text.h"
#include "platform/string_table.h"
#include "test_support.h"

namespace qv {
namespace {

TDateTime Date(int aYear, int aMonth, int aDay) {
  TDateTime date = 0;
  EXPECT_TRUE(TryEncodeDate(aYear, aMonth, aDay, date));
  return date;
}

// A string table of the test's own, which remembers the ids asked for.
struct FakeTable {
  std::map<uint32_t, std::u16string> fEntries;
  std::vector<uint32_t> fAsked;

  tQV_ApplicationInfo::tQV_StringLookup Lookup() {
    return [this](uint32_t aId) {
      fAsked.push_back(aId);
      const auto found = fEntries.find(aId);
      return found == fEntries.end() ? std::u16string() : found->second;
    };
  }
};

TEST(ApplicationInfoTest, LibraryTableGivesTheCurrentReleaseAndItsHistory) {
  tQV_ApplicationInfo info;
  info.Load();
  EXPECT_EQ(info.Version(), u"1.07");
  EXPECT_EQ(info.ReleaseDate(), Date(2021, 2, 25));
  EXPECT_FALSE(info.Description().empty());
  EXPECT_FALSE(info.Copyright().empty());

  struct Release {
    const char16_t* version;
    TDateTime date;
    const char16_t* text;
  } releases[] = {
      {u"1.00", Date(2020, 6, 20), u"Rilascio Iniziale"},
      {u"1.01", Date(2020, 7, 27), u"Modifica Assegnazione Counter"},
      {u"1.02", Date(2020, 7, 27), u"Corretta Attribuzione Counter"},
      {u"1.03", Date(2020, 8, 3), u"Aggiunti Parametri MaxItems e MaxAmount. Aggiunto Log Load/Unload DLL"},
      {u"1.04", Date(2020, 8, 10), u"Corretto errore in parsing XML in caso di valori numerici null"},
      {u"1.05", Date(2021, 8, 11),
       u"Aggiunto test su valore 97 come risposta corretta per pagamento e contestuale ricarica"},
      {u"1.06", Date(2021, 1, 5), u"Aggiunto Versionamento su Resource File"},
      {u"1.07", Date(2021, 2, 25), u"Corretta anomalia in esitazione pagamenti parziali"},
  };
  ASSERT_EQ(info.History().size(), std::size(releases));
  for (size_t i = 0; i < std::size(releases); ++i) {
    SCOPED_TRACE(ToUtf8(releases[i].version));
    const tQV_ApplicationHistory& entry = info.History()[i];
    EXPECT_EQ(entry.Version(), releases[i].version);
    EXPECT_EQ(entry.ReleaseDate(), releases[i].date);
    EXPECT_EQ(entry.Author(), info.History()[0].Author());
    EXPECT_EQ(entry.Author().size(), 2u);
    EXPECT_EQ(entry.Text(), std::vector<std::u16string>{releases[i].text});
  }
}

TEST(ApplicationInfoTest, PlatformTableAnswersItsEntriesAndNothingElse) {
  EXPECT_EQ(LoadModuleString(10002), u"$VERSION=1.00");
  EXPECT_EQ(LoadModuleString(10033).rfind(u"$PTEXT=", 0), 0u);
  EXPECT_EQ(LoadModuleString(10034), u"");
  EXPECT_EQ(LoadModuleString(9999), u"");
}

TEST(ApplicationInfoTest, ReadingStopsAfterElevenMissingIdsInARow) {
  FakeTable table;
  table.fEntries = {{10000, u"$VERSION=1"}, {10011, u"$VERSION=2"}, {10023, u"$VERSION=3"}};
  tQV_ApplicationInfo info;
  info.Load(table.Lookup());
  // Ten missing ids (10001-10010) are crossed; eleven (10012-10022) end it.
  ASSERT_EQ(info.History().size(), 2u);
  EXPECT_EQ(info.Version(), u"2");
  EXPECT_EQ(table.fAsked.front(), 10000u);
  EXPECT_EQ(table.fAsked.back(), 10022u);
  EXPECT_EQ(table.fAsked.size(), 23u);
}

TEST(ApplicationInfoTest, EmptyTableLeavesEverythingEmpty) {
  FakeTable table;
  tQV_ApplicationInfo info;
  info.Load(table.Lookup());
  EXPECT_EQ(table.fAsked.size(), 11u);
  EXPECT_EQ(info.Description(), u"");
  EXPECT_EQ(info.Copyright(), u"");
  EXPECT_EQ(info.Version(), u"");
  EXPECT_EQ(info.ReleaseDate(), 0.0);
  EXPECT_TRUE(info.History().empty());
}

TEST(ApplicationInfoTest, EntriesAreReadAsKeyAndRawValue) {
  FakeTable table;
  table.fEntries = {
      // Before the first release: ignored except the two global keys.
      {10000, u"$RELEASEDATE=01/01/2000"},
      {10001, u"$AUTHOR=nobody"},
      {10002, u"$PTEXT=orphan"},
      {10003, u"$AppDescription= padded  "},
      {10004, u"$COPYRIGHT=(c)=me"},
      {10005, u"$version=2.0"},
      {10006, u"$PTEXT=a=b"},
      {10007, u"$Text=second"},
      {10008, u"$OTHER=ignored"},
      {10009, u"no separator"},
      {10010, u"$PTEXT="},
      {10011, u"$Author=XY"},
      {10012, u"=value without key"},
      {10013, u"$PTEXT=" + std::u16string(2000, u'x')},
  };
  tQV_ApplicationInfo info;
  info.Load(table.Lookup());
  EXPECT_EQ(info.Description(), u" padded  ");
  EXPECT_EQ(info.Copyright(), u"(c)=me");
  EXPECT_EQ(info.Version(), u"2.0");
  EXPECT_EQ(info.ReleaseDate(), 0.0);
  ASSERT_EQ(info.History().size(), 1u);
  const tQV_ApplicationHistory& entry = info.History()[0];
  EXPECT_EQ(entry.Version(), u"2.0");
  EXPECT_EQ(entry.Author(), u"XY");
  EXPECT_EQ(entry.ReleaseDate(), 0.0);
  // The entry is read up to 1024 characters, key included.
  const std::vector<std::u16string> text{u"a=b", u"second", u"", std::u16string(1024 - 7, u'x')};
  EXPECT_EQ(entry.Text(), text);
}

TEST(ApplicationInfoTest, ReleaseDatesAreReadByPosition) {
  struct Case {
    const char16_t* text;
    TDateTime expected;
  } cases[] = {
      {u"25/02/2021", Date(2021, 2, 25)},
      // One-digit day and month: "5/", "/2" and "21" are read.
      {u"5/3/2021", Date(21, 1, 1)},
      {u"xx/yy/zzzz", Date(1, 1, 1)},
      {u"", Date(1, 1, 1)},
      {u"29/02/2020 and more", Date(2020, 2, 29)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    FakeTable table;
    table.fEntries = {{10000, u"$VERSION=1"}, {10001, u"$RELEASEDATE=" + std::u16string(c.text)}};
    tQV_ApplicationInfo info;
    info.Load(table.Lookup());
    EXPECT_EQ(info.ReleaseDate(), c.expected);
    ASSERT_EQ(info.History().size(), 1u);
    EXPECT_EQ(info.History()[0].ReleaseDate(), c.expected);
  }
}

TEST(ApplicationInfoTest, ImpossibleDateFailsAndKeepsWhatWasLoaded) {
  for (const char16_t* date : {u"31/02/2021", u"29/02/2021", u"00/01/2021", u"01/13/2021", u"01/01/0000"}) {
    SCOPED_TRACE(ToUtf8(date));
    FakeTable good;
    good.fEntries = {{10000, u"$VERSION=1.0"}, {10001, u"$RELEASEDATE=01/01/2020"}};
    tQV_ApplicationInfo info;
    info.Load(good.Lookup());

    FakeTable bad;
    bad.fEntries = {{10000, u"$VERSION=2.0"}, {10001, u"$RELEASEDATE=" + std::u16string(date)}};
    EXPECT_QV_ERROR(info.Load(bad.Lookup()), u"Invalid argument to date encode");
    EXPECT_EQ(info.Version(), u"1.0");
    EXPECT_EQ(info.ReleaseDate(), Date(2020, 1, 1));
    EXPECT_EQ(info.History().size(), 1u);
  }
}

}  // namespace
}  // namespace qv
