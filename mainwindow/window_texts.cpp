#include "window_texts.h"

#include "cp1251.h"

namespace olvendrix {

const char* const kMenuKeys[mtxCount] = {
    "FIle",  "Edit",      "Sort",     "Navigate", "Help",   "Exit",     "ClearAll",  "ClearHistory", "Options",
    "First", "Next",      "Last",     "Prior",    "PagePrior", "PageNext", "miHelp", "Error",        "Mail",
    "About", "Save",      "Copy",     "Search",   "ByNumtel", "ByFamil",  "ByStreet"};

const char* const kOptionsKeys[otxCount] = {"CaseSensitiv", "ImmedSearch", "Delay", "Param", "Lang"};

const TWindowTexts& DefaultWindowTexts() {
  static const TWindowTexts texts = [] {
    TWindowTexts t;
    t.Caption = W1251("Телефонний довідник");
    t.CaptionFormat = W1251(" %s [вер. %s]");
    t.FatalError = " FATAL ERROR :%s %s";
    t.InputsCaption = W1251(" Вхідні дані ");
    const char* fields[5] = {"Телефон", "Прізвище, Ім'я, по-батькові", "Вулиця", "Будинок", "Квартира"};
    for (int i = 0; i < 5; ++i) t.FieldCaptions[i] = W1251(fields[i]);
    t.StatusFormats[0] = W1251("Знайдено абонентів: %d");
    t.StatusFormats[1] = W1251("Відсортовано: %s");
    t.StatusFormats[2] = W1251("Всього: %d абоненти ");
    const char* menu[mtxCount] = {
        "Файл", "Редактування", "Сортування", "Навигация", "Допомога", "Вихід", "Очистити всі поля",
        "Очистити історію", "Опції...", "початок", "рядок вперед", "кінець", "рядок назад",
        "сторінка назад", "сторінка вперед", "Довідка", "Повідомити про помилку", "Надіслати лист",
        "Про програму...", "Зберігти у файл", "Скопіювати ", "Пошук", "по - номеру", "по - прізвищу",
        "по - вулиці"};
    for (int i = 0; i < mtxCount; ++i) t.Menu[i] = W1251(menu[i]);
    t.SortMenuFirst = W1251("по - телефону");
    const char* modes[3] = {"Початок", "Входження", "Відповідність"};
    for (int i = 0; i < 3; ++i) t.ModeCaptions[i] = W1251(modes[i]);
    return t;
  }();
  return texts;
}

}  // namespace olvendrix
