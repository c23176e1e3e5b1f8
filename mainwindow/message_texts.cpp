#include "message_texts.h"

#include "cp1251.h"

namespace olvendrix {

const TMessageTexts& DefaultMessageTexts() {
  static const TMessageTexts texts{
      W1251("Не знайдено файл бази даних: %s ."),
      W1251("Помилка завантаження програми: %sПодальша робота програми неможлива!"),
      W1251("Помилка запису даних у файл: %s."),
      W1251("Файл даних Data.bin має заcтарілу версію формату: %d!"),
      W1251("Завантаження DBF - даних"),
      W1251("Конвертація бази даних"),
      W1251("Сортування бази даних"),
      W1251("Індексація бази даних"),
      W1251("Збереження BIN - даних"),
      W1251("Збереження індексних файлів"),
      W1251("Завантаження BIN - даних"),
      W1251("Завантаження індексних файлів"),
      W1251("Запис даних у файл"),
      W1251("Пошук! "),
      W1251("Сортування! "),
      W1251("Попередня підготовка бази даних не завершена!  Ви дійсно хочете завершити роботу "
            "програми? "),
      W1251("Файл довідки не знайдено або він порожній: %s"),
      W1251("Файл %s не є файлом довідки: він більший за 16 МБ."),
      W1251("Файл %s не є файлом довідки: у ньому двійкові дані, а не текст."),
  };
  return texts;
}

const TMessageKey kMessageKeys[19] = {
    {"ErrorFIndBase", &TMessageTexts::ErrorFIndBase, "s"},
    {"ErrorTerminate", &TMessageTexts::ErrorTerminate, "s"},
    {"ErrorSaveToFile", &TMessageTexts::ErrorSaveToFile, "s"},
    {"ErrorVersion", &TMessageTexts::ErrorVersion, "d"},
    {"MessLoadDBF", &TMessageTexts::MessLoadDBF, nullptr},
    {"MessConvertData", &TMessageTexts::MessConvertData, nullptr},
    {"MessSortData", &TMessageTexts::MessSortData, nullptr},
    {"MessMakeIndex", &TMessageTexts::MessMakeIndex, nullptr},
    {"MessSaveBIN", &TMessageTexts::MessSaveBIN, nullptr},
    {"MessSaveIndex", &TMessageTexts::MessSaveIndex, nullptr},
    {"MessLoadBIN", &TMessageTexts::MessLoadBIN, nullptr},
    {"MessLoadINDEX", &TMessageTexts::MessLoadINDEX, nullptr},
    {"MessSaveToFile", &TMessageTexts::MessSaveToFile, nullptr},
    {"MessSearching", &TMessageTexts::MessSearching, nullptr},
    {"MessSorting", &TMessageTexts::MessSorting, nullptr},
    {"MessOnClose", &TMessageTexts::MessOnClose, nullptr},
    {"HelpMissing", &TMessageTexts::HelpMissing, "s"},
    {"HelpTooLarge", &TMessageTexts::HelpTooLarge, "s"},
    {"HelpNotText", &TMessageTexts::HelpNotText, "s"},
};

}  // namespace olvendrix
