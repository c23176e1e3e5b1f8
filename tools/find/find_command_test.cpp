#include "find_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cp1251.h"
#include "test_support.h"
#include "demo_table.h"

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
  int Run(std::vector<std::string> args, const TConsole& console = {}) {
    args.insert(args.begin(), {"--dir", folder_.path().u8string()});
    out_.str("");
    err_.str("");
    return RunFind(args, out_, err_, console);
  }
  TempFolder folder_;
  std::ostringstream out_, err_;
};

TEST_F(FindCommand, PreparesLikeTheProgramButKeepsTheTable) {
  ASSERT_EQ(Run({"--name", "шевч"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), W1251("2111111 Шевчук Марія Іванівна вул. Шевченка 12А  \r\n"
                              "2345678 Шевченко Іван Петрович вул. Садова 12 5 \r\n"));
  EXPECT_EQ(err_.str(), "");  // no terminal, no --verbose: no progress
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Data.dbf"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "index3.bin"));

  // Second run loads the prepared files.
  ASSERT_EQ(Run({"--modes", "00020", "--house", "12", "--sort", "1", "--utf8", "--verbose"}), 0);
  EXPECT_EQ(out_.str(), "3000000 Бойко Ївга вул. Садова 12 А 2 \r\n"
                        "2345678 Шевченко Іван Петрович вул. Садова 12 5 \r\n");
  EXPECT_EQ(err_.str(), "Завантаження BIN - даних\nЗавантаження індексних файлів\n");
}

TEST_F(FindCommand, ATerminalGetsUtf8AndProgressUnlessTheBytesAreAskedFor) {
  TConsole terminal;
  terminal.OutputIsUtf8Terminal = true;
  terminal.ErrorIsTerminal = true;
  ASSERT_EQ(Run({"--number", "3"}, terminal), 0);
  EXPECT_EQ(out_.str(), "3000000 Бойко Ївга вул. Садова 12 А 2 \r\n");
  EXPECT_NE(err_.str().find("Конвертація бази даних\n"), std::string::npos);
  ASSERT_EQ(Run({"--number", "3", "--cp1251"}, terminal), 0);
  EXPECT_EQ(out_.str(), W1251("3000000 Бойко Ївга вул. Садова 12 А 2 \r\n"));
  EXPECT_EQ(err_.str(), W1251("Завантаження BIN - даних\nЗавантаження індексних файлів\n"));
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

TEST_F(FindCommand, ReadsAUtf16OptionsFile) {
  std::filesystem::rename(folder_ / "Data.dbf", folder_ / "subscribers.dbf");
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[Directives]\r\nBaseFileName=subscribers.dbf\r\n")) utf16 += {c, '\0'};
  demo::WriteBytes(folder_ / "options.ini", utf16);
  ASSERT_EQ(Run({"--count"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "3\n");
}

TEST_F(FindCommand, FailuresAreOneLineAndBadArgumentsNameThemselves) {
  std::filesystem::remove(folder_ / "Data.dbf");
  EXPECT_EQ(Run({}), 1);
  const auto path = (folder_ / "Data.dbf").u8string();
  EXPECT_EQ(err_.str(), "olvendrix-find: Не знайдено файл бази даних: " + std::string(path.begin(), path.end()) +
                            " .\n");
  const auto usage_error = [&](std::vector<std::string> args, const std::string& first_line) {
    EXPECT_EQ(Run(std::move(args)), 2);
    EXPECT_EQ(err_.str().substr(0, err_.str().find('\n')), "olvendrix-find: " + first_line);
    EXPECT_NE(err_.str().find("usage: olvendrix-find"), std::string::npos);
  };
  usage_error({"--sort", "3"}, "bad value for --sort: 3");
  usage_error({"--modes", "01x"}, "bad value for --modes: 01x");
  usage_error({"--bogus"}, "unknown option: --bogus");
  usage_error({"--name"}, "missing value for --name");
  usage_error({"--utf8", "--cp1251"}, "--utf8 and --cp1251 exclude each other");
  EXPECT_EQ(RunFind({"--help"}, out_, err_), 0);
  EXPECT_NE(out_.str().find("--cp1251"), std::string::npos);
}

}  // namespace
}  // namespace olvendrix::find
