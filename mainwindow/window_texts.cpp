#include "mainwindow/window_texts.h"

#include "engine/cp1251.h"

namespace olvendrix {

const TWindowTexts& DefaultWindowTexts() {
  static const TWindowTexts texts = [] {
    TWindowTexts t;
    t.Caption = W1251("Телефонний довідник");
    t.CaptionFormat = W1251(" %s [вер. %s]");
    t.MessOnClose = W1251(
        "Попередня підготовка бази даних не завершена!  Ви дійсно хочете завершити роботу програми? ");
    t.MessSearching = W1251("Пошук! ");
    t.MessSorting = W1251("Сортування! ");
    t.FatalError = " FATAL ERROR :%s %s";
    t.InputsCaption = W1251(" Вхідні дані ");
    t.SearchButton = W1251("Пошук");
    const char* fields[5] = {"Телефон", "Прізвище, Ім'я, по-батькові", "Вулиця", "Будинок", "Квартира"};
    for (int i = 0; i < 5; ++i) t.FieldCaptions[i] = W1251(fields[i]);
    t.StatusFormats[0] = W1251("Знайдено абонентів: %d");
    t.StatusFormats[1] = W1251("Відсортовано: %s");
    t.StatusFormats[2] = W1251("Всього: %d абоненти ");
    t.EditMenu = W1251("Редактування");
    t.SearchItem = W1251("Пошук");
    t.ClearInputsItem = W1251("Очистити всі поля");
    t.ClearHistoryItem = W1251("Очистити історію");
    t.SortMenu = W1251("Сортування");
    t.SortMenuFirst = W1251("по - телефону");
    t.SortCommands[0] = W1251("по - номеру");
    t.SortCommands[1] = W1251("по - прізвищу");
    t.SortCommands[2] = W1251("по - вулиці");
    t.NavigationMenu = W1251("Навигация");
    const char* navigation[6] = {"початок", "сторінка назад", "рядок назад",
                                 "рядок вперед", "сторінка вперед", "кінець"};
    for (int i = 0; i < 6; ++i) t.NavigationItems[i] = W1251(navigation[i]);
    return t;
  }();
  return texts;
}

}  // namespace olvendrix
