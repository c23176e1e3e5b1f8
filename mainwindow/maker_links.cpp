#include "maker_links.h"

#include "cp1251.h"
#include "format.h"
#include "search_list.h"

namespace olvendrix {

std::string SiteAddress(const std::string& host) { return "http://" + host + "/olvendrix/index.html"; }

std::string MailLink(const std::string& address, bool error_report) {
  const std::string format = "mailto:%s?subject=\"%s %s\"";
  if (!error_report) return Format(format, {address, "Olvendrix", kProgramVersion});
  // The body goes behind the formatted part: its %0D%0A are no placeholders.
  return Format(format + "&body=", {address, "Error in Olvendrix", kProgramVersion}) + "\"" +
         W1251("   Здраствуйте Quermatic.%0D%0A%0D%0A В программе Olvendrix вер. 1.07.07 обнаружена "
               "ошибка.%0D%0A Описание ошибки:%0D%0A%0D%0A%0D%0A%0D%0A%0D%0A Автор") +
         "\"";
}

}  // namespace olvendrix
