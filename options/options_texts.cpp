#include "options_texts.h"

namespace olvendrix {

const char* const kOptionsKeys[otxCount] = {"CaseSensitiv", "ImmedSearch", "Delay", "Param", "Lang"};

}  // namespace olvendrix
