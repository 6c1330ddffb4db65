// Whatever the user types, reading it as a number and writing numbers back as
// field texts stays defined.
#include "common/numbertext.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double number = Vorlane::fieldToNum(text);
    if (std::isnan(number) || std::isinf(number))
        std::abort();
    // The text of a number reads back as a number of the same sign.
    const double again = Vorlane::fieldToNum(Vorlane::numToField(number));
    if ((number < 0) != (again < 0))
        std::abort();
    Vorlane::numToField(static_cast<float>(number));
    return 0;
}
