#include "demo_table.h"

#include <string>
#include <vector>

#include "cp1251.h"

namespace olvendrix::demo {
namespace {

// splitmix64: the same sequence on every compiler, unlike std distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  bool Chance(std::uint32_t per_mille) { return Below(1000) < per_mille; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) { return items[Below(static_cast<std::uint32_t>(items.size()))]; }

 private:
  std::uint64_t state_;
};

struct Surname {
  const char* male;
  const char* female;
};

const std::vector<Surname> kSurnames = {
    {"Шевченко", "Шевченко"},   {"Коваленко", "Коваленко"}, {"Бондаренко", "Бондаренко"},
    {"Ткаченко", "Ткаченко"},   {"Кравченко", "Кравченко"}, {"Олійник", "Олійник"},
    {"Шевчук", "Шевчук"},       {"Поліщук", "Поліщук"},     {"Бойко", "Бойко"},
    {"Мельник", "Мельник"},     {"Коваль", "Коваль"},       {"Савченко", "Савченко"},
    {"Петренко", "Петренко"},   {"Марченко", "Марченко"},   {"Руденко", "Руденко"},
    {"Мороз", "Мороз"},         {"Лисенко", "Лисенко"},     {"Клименко", "Клименко"},
    {"Павленко", "Павленко"},   {"Кузьменко", "Кузьменко"}, {"Ковальчук", "Ковальчук"},
    {"Гончаренко", "Гончаренко"}, {"Левченко", "Левченко"}, {"Харченко", "Харченко"},
    {"Карпенко", "Карпенко"},   {"Іваненко", "Іваненко"},   {"Гриценко", "Гриценко"},
    {"Яковенко", "Яковенко"},   {"Юрченко", "Юрченко"},     {"Ярошенко", "Ярошенко"},
    {"Ковальський", "Ковальська"}, {"Вишневський", "Вишневська"}, {"Заїчко", "Заїчко"},
    {"Лозинський", "Лозинська"}, {"Сидоренко", "Сидоренко"}, {"Білик", "Білик"},
    {"Гнатюк", "Гнатюк"},       {"Дмитренко", "Дмитренко"}, {"Євтушенко", "Євтушенко"},
    {"Жук", "Жук"},             {"Зінченко", "Зінченко"},   {"Кириленко", "Кириленко"},
    {"Литвин", "Литвин"},       {"Мазур", "Мазур"},         {"Назаренко", "Назаренко"},
    {"Остапенко", "Остапенко"}, {"Процик", "Процик"},       {"Романюк", "Романюк"},
    {"Степаненко", "Степаненко"}, {"Тимошенко", "Тимошенко"}, {"Усенко", "Усенко"},
    {"Федоренко", "Федоренко"}, {"Хоменко", "Хоменко"},     {"Цибульський", "Цибульська"},
    {"Чорновол", "Чорновол"},   {"Шаповал", "Шаповал"},     {"Щербак", "Щербак"},
    {"Ґудзь", "Ґудзь"},         {"Їжакевич", "Їжакевич"},   {"Антоненко", "Антоненко"},
    {"Волошин", "Волошина"},    {"Гаврилюк", "Гаврилюк"},   {"Демченко", "Демченко"},
};

const std::vector<const char*> kMaleNames = {
    "Іван", "Петро", "Микола", "Василь", "Олександр", "Андрій", "Сергій", "Володимир",
    "Михайло", "Юрій", "Дмитро", "Олег", "Богдан", "Тарас", "Ярослав", "Віктор",
    "Григорій", "Степан", "Євген", "Роман", "Анатолій", "Леонід", "Федір", "Ігор"};
const std::vector<const char*> kFemaleNames = {
    "Марія", "Ганна", "Олена", "Наталія", "Тетяна", "Ірина", "Оксана", "Людмила",
    "Світлана", "Галина", "Юлія", "Катерина", "Ольга", "Надія", "Віра", "Любов",
    "Лариса", "Валентина", "Софія", "Христина", "Євгенія", "Зоя", "Алла", "Інна"};
// Fathers' names with the male and the female patronymic.
const std::vector<Surname> kPatronymics = {
    {"Іванович", "Іванівна"},       {"Петрович", "Петрівна"},       {"Миколайович", "Миколаївна"},
    {"Васильович", "Василівна"},    {"Олександрович", "Олександрівна"}, {"Андрійович", "Андріївна"},
    {"Сергійович", "Сергіївна"},    {"Володимирович", "Володимирівна"}, {"Михайлович", "Михайлівна"},
    {"Юрійович", "Юріївна"},        {"Дмитрович", "Дмитрівна"},     {"Олегович", "Олегівна"},
    {"Богданович", "Богданівна"},   {"Тарасович", "Тарасівна"},     {"Ярославович", "Ярославівна"},
    {"Вікторович", "Вікторівна"},   {"Григорович", "Григорівна"},   {"Степанович", "Степанівна"},
    {"Євгенович", "Євгенівна"},     {"Романович", "Романівна"},     {"Федорович", "Федорівна"}};

const std::vector<const char*> kStreetNames = {
    "Шевченка", "Франка", "Лесі Українки", "Грушевського", "Хмельницького", "Сагайдачного",
    "Соборна", "Незалежності", "Перемоги", "Миру", "Садова", "Шкільна", "Лісова", "Польова",
    "Центральна", "Молодіжна", "Набережна", "Зелена", "Гагаріна", "Київська", "Львівська",
    "Одеська", "Харківська", "Полтавська", "Вишнева", "Квітнева", "Степова", "Весняна",
    "Коновальця", "Бандери", "Мазепи", "Котляревського", "Сковороди", "Стуса", "Чорновола",
    "Січових Стрільців", "Героїв Майдану", "Ярослава Мудрого", "Володимирська", "Івана Богуна"};

std::string StreetText(Random& random) {
  const std::uint32_t kind = random.Below(100);
  const char* prefix = kind < 72 ? "вул. " : kind < 84 ? "просп. " : "пров. ";
  return std::string(prefix) + random.Pick(kStreetNames);
}

std::string HouseText(Random& random) {
  // Mostly small numbers, some large ones, letters and fractions.
  const std::uint32_t number = random.Chance(50) ? 100 + random.Below(150) : 1 + random.Below(99);
  std::string house = std::to_string(number);
  const std::uint32_t suffix = random.Below(100);
  if (suffix < 8) house += "А";
  else if (suffix < 12) house += "Б";
  else if (suffix < 17) house += "/" + std::to_string(1 + random.Below(9));
  return house;
}

std::string NameText(Random& random) {
  const bool female = random.Chance(520);
  const Surname& surname = random.Pick(kSurnames);
  const Surname& patronymic = random.Pick(kPatronymics);
  return std::string(female ? surname.female : surname.male) + " " +
         (female ? random.Pick(kFemaleNames) : random.Pick(kMaleNames)) + " " +
         (female ? patronymic.female : patronymic.male);
}

}  // namespace

TDbfTableWriter MakeDemoTable(const TDemoOptions& options) {
  std::vector<TDbfColumn> columns = {{"NUMTEL", options.Widths[0]},
                                     {"FIO", options.Widths[1]},
                                     {"STREET", options.Widths[2]},
                                     {"HOUSE", options.Widths[3]},
                                     {"FLAT", options.Widths[4]}};
  for (int i = 0; i < options.ExtraColumns; ++i) {
    columns.push_back({"EXTRA" + std::to_string(i + 1), 20});
  }
  TDbfTableWriter table(columns);
  Random random(options.Seed);
  std::vector<std::string> values(columns.size());
  const std::vector<const char*> kTariffs = {"Квартирний", "Пільговий", "Службовий", "Таксофон"};
  for (std::uint32_t r = 0; r < options.Records; ++r) {
    values[0] = std::to_string(2000000 + random.Below(7999999));
    values[1] = W1251(NameText(random));
    values[2] = W1251(StreetText(random));
    values[3] = W1251(HouseText(random));
    values[4] = random.Chance(300) ? std::string() : std::to_string(1 + random.Below(300));
    for (int i = 0; i < options.ExtraColumns; ++i) {
      values[5 + i] = W1251(random.Pick(kTariffs)) + " " + std::to_string(1 + random.Below(9));
    }
    table.AddRecord(values, random.Chance(2));
  }
  return table;
}

}  // namespace olvendrix::demo
