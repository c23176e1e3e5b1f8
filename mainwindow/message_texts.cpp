#include "mainwindow/message_texts.h"

#include "engine/cp1251.h"

namespace olvendrix {

const TMessageTexts& DefaultMessageTexts() {
  static const TMessageTexts texts{
      W1251("Не знайдено файл бази даних: %s ."),
      W1251("Файл даних Data.bin має заcтарілу версію формату: %d!"),
      W1251("Завантаження DBF - даних"),
      W1251("Конвертація бази даних"),
      W1251("Сортування бази даних"),
      W1251("Індексація бази даних"),
      W1251("Збереження індексних файлів"),
      W1251("Збереження BIN - даних"),
      W1251("Завантаження BIN - даних"),
      W1251("Завантаження індексних файлів"),
  };
  return texts;
}

}  // namespace olvendrix
