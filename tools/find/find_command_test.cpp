#include "tools/find/find_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/cp1251.h"
#include "tests/test_support.h"
#include "tools/demo/demo_table.h"

namespace olvendrix::find {
namespace {

using testing::ReadBytes;
using testing::StandardTable;
using testing::TempFolder;

class FindCommand : public ::testing::Test {
 protected:
  FindCommand() {
    StandardTable({{"2345678", "Шевченко Іван Петрович", "вул. Садова", "12", "5"},
                   {"2111111", "Шевчук Марія Іванівна", "вул. Шевченка", "12А", ""},
                   {"3000000", "Бойко Ївга", "вул. Садова", "12 А", "2"}})
        .SaveTo(folder_ / "Data.dbf");
  }
  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", folder_.path().u8string()});
    out_.str("");
    err_.str("");
    return RunFind(args, out_, err_);
  }
  TempFolder folder_;
  std::ostringstream out_, err_;
};

TEST_F(FindCommand, PreparesLikeTheProgramButKeepsTheTable) {
  ASSERT_EQ(Run({"--name", "шевч"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), W1251("2111111 Шевчук Марія Іванівна вул. Шевченка 12А  \r\n"
                              "2345678 Шевченко Іван Петрович вул. Садова 12 5 \r\n"));
  EXPECT_NE(err_.str().find(W1251("Конвертація бази даних")), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Data.dbf"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "index3.bin"));

  // Second run loads the prepared files.
  ASSERT_EQ(Run({"--modes", "00020", "--house", "12", "--sort", "1", "--utf8"}), 0);
  EXPECT_EQ(out_.str(), "3000000 Бойко Ївга вул. Садова 12 А 2 \r\n"
                        "2345678 Шевченко Іван Петрович вул. Садова 12 5 \r\n");
  EXPECT_NE(err_.str().find("Завантаження BIN - даних"), std::string::npos);
}

TEST_F(FindCommand, CountsHeadingsAndOptionsFile) {
  demo::WriteBytes(folder_ / "options.ini", "[Options]\nCaseSensitiv=1\n");
  ASSERT_EQ(Run({"--count", "--name", "шевч"}), 0);
  EXPECT_EQ(out_.str(), "0\n");
  ASSERT_EQ(Run({"--count", "--name", "шевч", "--no-case"}), 0);
  EXPECT_EQ(out_.str(), "2\n");
  ASSERT_EQ(Run({"--heading", "--number", "3"}), 0);
  const std::string text = out_.str();
  EXPECT_EQ(text.substr(0, 22), "Olvendrix v.1.07.07   ");
  EXPECT_EQ(text.substr(text.find("\r\n") + 2), W1251("3000000 Бойко Ївга вул. Садова 12 А 2 \r\n"));
}

TEST_F(FindCommand, ReportsFailuresAndBadArguments) {
  std::filesystem::remove(folder_ / "Data.dbf");
  EXPECT_EQ(Run({"--utf8"}), 1);
  EXPECT_NE(err_.str().find("Не знайдено файл бази даних: "), std::string::npos);
  EXPECT_EQ(Run({"--sort", "3"}), 2);
  EXPECT_NE(err_.str().find("usage: olvendrix-find"), std::string::npos);
  EXPECT_EQ(Run({"--modes", "01x"}), 2);
  EXPECT_EQ(Run({"--bogus"}), 2);
  EXPECT_EQ(Run({"--name"}), 2);
  EXPECT_EQ(RunFind({"--help"}, out_, err_), 0);
}

}  // namespace
}  // namespace olvendrix::find
