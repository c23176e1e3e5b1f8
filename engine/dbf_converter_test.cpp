#include "dbf_converter.h"

#include <gtest/gtest.h>

#include <cstring>

#include "cp1251.h"
#include "test_support.h"

namespace olvendrix {
namespace {

using platform::testing::Fault;
using testing::MessageOf;
using testing::ReadBytes;
using testing::StandardTable;
using testing::TempFolder;

const std::string kDamaged = W1251("Файл бази пошкоджений або має нестандартний заголовок.");

class DbfConverter : public ::testing::Test {
 protected:
  void TearDown() override { platform::testing::ClearFaults(); }
  void Load(const demo::TDbfTableWriter& table) {
    table.SaveTo(folder_ / "Data.dbf");
    reader_.LoadFromFile(folder_ / "Data.dbf");
  }
  std::string Text(std::uint32_t record, std::uint8_t field) const {
    return std::string(reader_.FieldText(reader_.RecordAddr(record), field));
  }
  TempFolder folder_;
  TDBFConverter reader_;
};

TEST_F(DbfConverter, LaysOutTheStoreWithTerminatedFields) {
  auto table = StandardTable({{"2345678", "Шевченко Іван Петрович", "вул. Садова", "12", ""}});
  table.AddRecord({"1111111", W1251("Видалений")}, /*deleted=*/true);
  Load(table);
  reader_.ConvertToBin();
  EXPECT_EQ(reader_.FormatVersion(), 2);
  EXPECT_EQ(reader_.RecordLength(), 96);
  EXPECT_EQ(reader_.Size(), 193u + 2 * 96u);
  const std::uint16_t offsets[] = {0, 8, 49, 80, 88};
  const std::uint8_t widths[] = {8, 41, 31, 8, 8};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(reader_.Fields()[i].Offset, offsets[i]);
    EXPECT_EQ(reader_.Fields()[i].Width, widths[i]);
    EXPECT_EQ(reader_.GetFieldAddr(0, i)[widths[i] - 1], 0) << i;
  }
  // Blank padding is kept; the deleted record is carried over.
  EXPECT_EQ(Text(0, 3), "12     ");
  EXPECT_EQ(Text(0, 1).substr(0, 8), W1251("Шевченко"));
  EXPECT_EQ(Text(1, 1).substr(0, 9), W1251("Видалений"));
  EXPECT_EQ(Text(1, 4), "       ");
}

TEST_F(DbfConverter, SavedStoreLoadsAgainWithoutItsEndOfFileByte) {
  Load(StandardTable({{"2345678", "Бойко", "вул. Лісова", "9", "1"}}));
  reader_.ConvertToBin();
  reader_.SaveToFile(folder_ / "data.bin");
  EXPECT_EQ(ReadBytes(folder_ / "data.bin").size(), 193u + 96u);

  TDBFConverter again;
  again.LoadFromFile(folder_ / "data.bin");
  EXPECT_EQ(again.FormatVersion(), 2);
  EXPECT_EQ(again.RecordLength(), 96);
  EXPECT_EQ(std::string(again.FieldText(again.RecordAddr(0), 2)).substr(0, 11), W1251("вул. Лісова"));
  EXPECT_EQ(MessageOf<EDBFConverterError>([&] { again.ConvertToBin(); }),
            "data already has BIN format!");
}

TEST_F(DbfConverter, ZeroRecordsGiveJustTheHeader) {
  Load(StandardTable({}));
  reader_.ConvertToBin();
  reader_.SaveToFile(folder_ / "data.bin");
  EXPECT_EQ(ReadBytes(folder_ / "data.bin").size(), 193u);
  TDBFConverter again;
  again.LoadFromFile(folder_ / "data.bin");
  EXPECT_EQ(again.RecordCount(), 0u);
}

TEST_F(DbfConverter, RefusesTablesThatAreNotPlainDbase) {
  std::string reserved = StandardTable({{"1"}}).Image();
  reserved[12] = 1;  // taken for a store, so converting is refused
  demo::WriteBytes(folder_ / "Reserved.dbf", reserved);
  TDbfReader reserved_reader;
  reserved_reader.LoadFromFile(folder_ / "Reserved.dbf");
  EXPECT_EQ(MessageOf<EDBFConverterError>([&] { reserved_reader.ConvertToBin(); }),
            "data already has BIN format!");

  demo::TDbfTableWriter wide({{"A", 7}, {"B", 255}, {"C", 30}, {"D", 7}, {"E", 7}});
  Load(wide);
  EXPECT_EQ(MessageOf<EDBFReaderError>([&] { reader_.ConvertToBin(); }), kDamaged);

  std::string odd_length = StandardTable({{"1"}}).Image();
  odd_length[10] = 91;  // record length no longer 1 + the widths
  demo::WriteBytes(folder_ / "Odd.dbf", odd_length);
  TDBFConverter odd;
  odd.LoadFromFile(folder_ / "Odd.dbf");
  EXPECT_EQ(MessageOf<EDBFReaderError>([&] { odd.ConvertToBin(); }), kDamaged);
  EXPECT_EQ(odd.FormatVersion(), 0);
}

TEST_F(DbfConverter, AFailedRegionLeavesTheTableLoaded) {
  Load(StandardTable({{"1234567"}}));
  const std::uint8_t* table_image = reader_.Data();
  platform::testing::InjectFault(Fault::kRegion);
  EXPECT_EQ(MessageOf<Exception>([&] { reader_.ConvertToBin(); }),
            "Error map file in SWAP in load procedure!");
  EXPECT_EQ(reader_.Data(), table_image);
  EXPECT_EQ(reader_.FormatVersion(), 0);
  reader_.ConvertToBin();
  EXPECT_EQ(reader_.FormatVersion(), 2);
}

TEST_F(DbfConverter, RefusesAStoreWhoseFieldsLeaveTheRecord) {
  Load(StandardTable({{"1234567"}}));
  reader_.ConvertToBin();
  std::string store(reinterpret_cast<const char*>(reader_.Data()), reader_.Size());
  store[10] = 90;  // record length below the sum of the widths
  demo::WriteBytes(folder_ / "data.bin", store);
  TDBFConverter damaged;
  EXPECT_EQ(MessageOf<EDBFReaderError>([&] { damaged.LoadFromFile(folder_ / "data.bin"); }),
            kDamaged);
}

}  // namespace
}  // namespace olvendrix
