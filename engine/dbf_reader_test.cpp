#include "dbf_reader.h"

#include <gtest/gtest.h>

#include "cp1251.h"
#include "dbf_converter.h"
#include "test_support.h"

namespace olvendrix {
namespace {

using testing::MessageOf;
using testing::StandardTable;
using testing::TempFolder;

const std::string kDamaged = W1251("Файл бази пошкоджений або має нестандартний заголовок.");

std::string ShapeText(const char* utf8) { return W1251("Помилка: ") + W1251(utf8) + " !"; }

class DbfReader : public ::testing::Test {
 protected:
  // Loads bytes as a table through the converter (load and shape check).
  std::string LoadError(const std::string& image) {
    demo::WriteBytes(folder_ / "Data.dbf", image);
    TDBFConverter reader;
    return MessageOf<EDBFReaderError>([&] { reader.LoadFromFile(folder_ / "Data.dbf"); });
  }
  TempFolder folder_;
};

TEST_F(DbfReader, ParsesHeaderAndDescriptorsOfAStandardTable) {
  auto table = StandardTable({{"2345678", "Шевченко Іван", "вул. Садова", "12", "3"}});
  table.SaveTo(folder_ / "Data.dbf");
  TDBFConverter reader;
  reader.LoadFromFile(folder_ / "Data.dbf");
  EXPECT_EQ(reader.RecordCount(), 1u);
  EXPECT_EQ(reader.HeaderLength(), 193);
  EXPECT_EQ(reader.RecordLength(), 92);
  EXPECT_EQ(reader.FieldCount(), 5);
  EXPECT_EQ(reader.FormatVersion(), 0);
  ASSERT_EQ(reader.Fields().size(), 5u);
  EXPECT_EQ(reader.Fields()[1].Name, "FIO");
  EXPECT_EQ(reader.Fields()[1].Width, 40);
  EXPECT_EQ(reader.Fields()[4].Offset, 84);
  EXPECT_EQ(reader.Fields()[2].FieldType, 'C');
  EXPECT_EQ(reader.FirstRecord(), reader.Data() + 193);
  // A trailing end-of-file byte makes the image longer than its records.
  EXPECT_EQ(reader.Size(), 193u + 92u + 1u);
}

TEST_F(DbfReader, RefusesImagesTooShortForTheirHeaderOrRecords) {
  EXPECT_EQ(LoadError(std::string(31, '\0')), kDamaged);
  std::string image = StandardTable({{"1"}, {"2"}}).Image();
  EXPECT_EQ(LoadError(image.substr(0, 100)), kDamaged);           // shorter than the header
  EXPECT_EQ(LoadError(image.substr(0, 193 + 92 + 91)), kDamaged);  // one byte of records short
  // A record count near 2^32 must not wrap the size check.
  image[4] = image[5] = image[6] = image[7] = '\xFF';
  EXPECT_EQ(LoadError(image), kDamaged);
}

TEST_F(DbfReader, RefusesRecordCountsPastTheSignedRange) {
  // A sparse file long enough for 2^31 records of 6 bytes passes the size
  // check; the count itself must be refused before any order is built.
  demo::TDbfTableWriter narrow({{"A", 1}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}});
  std::string image = narrow.Image();
  image[4] = image[5] = image[6] = '\0';
  image[7] = '\x80';
  const auto path = folder_ / "Data.dbf";
  demo::WriteBytes(path, image);
  std::filesystem::resize_file(path, 32u * 6 + 1 + 6ull * 0x80000000ull);
  TDBFConverter reader;
  EXPECT_EQ(MessageOf<EDBFReaderError>([&] { reader.LoadFromFile(path); }), kDamaged);
}

TEST_F(DbfReader, ChecksHeaderLengthBeforeTheShape) {
  std::string image = StandardTable({}).Image();
  for (int length : {96, 98, 32, 0}) {
    std::string bad = image;
    bad[8] = static_cast<char>(length);
    bad[9] = 0;
    EXPECT_EQ(LoadError(bad), kDamaged) << length;
  }
  std::string two_fields = image;
  two_fields[8] = 97;
  two_fields[9] = 0;
  EXPECT_EQ(LoadError(two_fields), ShapeText("База даних повинна мати не менше пяти полей."));
}

TEST_F(DbfReader, RefusesNonCharacterFieldsAnywhere) {
  const std::string text = ShapeText("Всі поля в базі даних повинні мати строковий тип.");
  demo::TDbfTableWriter numeric({{"A", 7}, {"B", 40}, {"C", 30, 'N'}, {"D", 7}, {"E", 7}, {"F", 5}});
  EXPECT_EQ(LoadError(numeric.Image()), text);
  demo::TDbfTableWriter dated({{"A", 7}, {"B", 40}, {"C", 30}, {"D", 7}, {"E", 7}, {"F", 8, 'D'}});
  EXPECT_EQ(LoadError(dated.Image()), text);
}

TEST_F(DbfReader, LimitsHouseAndApartmentToSevenCharacters) {
  const std::string text =
      ShapeText("4-те і 5-те поля (номер вулиці та квартири) не повинні перевищувати 7 символів.");
  demo::TDbfTableWriter wide_house({{"A", 7}, {"B", 40}, {"C", 30}, {"D", 8}, {"E", 7}});
  EXPECT_EQ(LoadError(wide_house.Image()), text);
  demo::TDbfTableWriter wide_flat({{"A", 7}, {"B", 40}, {"C", 30}, {"D", 7}, {"E", 8}});
  EXPECT_EQ(LoadError(wide_flat.Image()), text);
}

TEST_F(DbfReader, ReadsTablesOfOtherWriters) {
  // Non-zero reserved descriptor bytes and an 11-character name without its
  // terminator, as some writers leave them.
  std::string image = StandardTable({{"1234567", "Бойко"}}).Image();
  for (int i = 0; i < 5; ++i) {
    image[32 + 32 * i + 12] = '\x55';
    image[32 + 32 * i + 20] = '\x01';
    image[32 + 32 * i + 17] = '\x02';
  }
  image.replace(32 + 32 * 1, 11, "ABCDEFGHIJK");
  demo::WriteBytes(folder_ / "Data.dbf", image);
  TDBFConverter reader;
  reader.LoadFromFile(folder_ / "Data.dbf");
  EXPECT_EQ(reader.Fields()[1].Name, "ABCDEFGHIJ");
  EXPECT_EQ(reader.Fields()[1].Width, 40);
}

TEST_F(DbfReader, GetFieldAddrChecksTheRecordIndex) {
  auto table = StandardTable({});
  for (int i = 0; i < 500; ++i) table.AddRecord({std::to_string(i)});
  table.SaveTo(folder_ / "Data.dbf");
  TDBFConverter reader;
  reader.LoadFromFile(folder_ / "Data.dbf");
  EXPECT_EQ(reader.GetFieldAddr(499, 1), reader.FirstRecord() + 499 * 92 + 7);
  EXPECT_EQ(MessageOf<EDBFReaderError>([&] { reader.GetFieldAddr(500, 0); }),
            "Error RecordIndex addr! :1F4 ");
}

TEST_F(DbfReader, CloseReleasesTheImageOnly) {
  StandardTable({{"1"}}).SaveTo(folder_ / "Data.dbf");
  TDBFConverter reader;
  reader.LoadFromFile(folder_ / "Data.dbf");
  reader.Close();
  EXPECT_EQ(reader.Data(), nullptr);
  EXPECT_EQ(reader.Size(), 0u);
  EXPECT_EQ(reader.RecordCount(), 1u);
  // What needs the image refuses to work without it.
  EXPECT_EQ(MessageOf<EDBFReaderError>([&] { reader.SaveToFile(folder_ / "data.bin"); }), "no data loaded");
  EXPECT_EQ(MessageOf<EDBFReaderError>([&] { reader.ConvertToBin(); }), "no data loaded");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "data.bin"));
  TDBFConverter never_loaded;
  EXPECT_EQ(MessageOf<EDBFReaderError>([&] { never_loaded.ConvertToBin(); }), "no data loaded");
}

}  // namespace
}  // namespace olvendrix
