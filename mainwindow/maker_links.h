// The Help menu's links to the maker: the web page and the mailto letters.
// Pure functions over Windows-1251 texts; the window opens them.
#pragma once

#include <string>

namespace olvendrix {

// "http://" host "/olvendrix/index.html".
std::string SiteAddress(const std::string& host);

// A letter to `address` with the subject "Olvendrix <version>" in double
// quotes; an error report has the subject "Error in Olvendrix <version>" and a
// prepared body, its line breaks written as %0D%0A. Nothing else is escaped.
std::string MailLink(const std::string& address, bool error_report);

}  // namespace olvendrix
