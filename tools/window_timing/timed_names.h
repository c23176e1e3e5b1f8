// The names that window-timing and outside-timing search, in UTF-8: five
// first letters, each searched first in a fresh process and then warm. Next
// to each other their counts differ, which is how outside-timing sees a
// search end.
#pragma once

namespace olvendrix::timing {

inline const char* const kTimedNames[] = {"Шевч", "Ковал", "Бойко", "Я", "Мельник"};

}  // namespace olvendrix::timing
