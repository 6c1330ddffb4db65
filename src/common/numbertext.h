#pragma once

#include <QString>
#include <QtGlobal>

namespace Vorlane {

// The text of an edit field or label for a number: a leading blank for a
// non-negative number and "-" for a negative one, no zero before the decimal
// point of a magnitude below 1, always "." as the point. A 32-bit float shows
// at most seven significant digits, a 64-bit float at most fifteen, with
// trailing zeros dropped; very large and very small magnitudes are written with
// an exponent ("1.5E+07", "1E-05").
QString numToField(float value);
QString numToField(double value);
QString numToField(int value);
QString numToField(qint64 value);

// The number that a field's text starts with. Blanks, tabs and line feeds are
// skipped wherever they stand; then an optional sign, digits with at most one
// ".", and an optional exponent (E or D, an optional sign, digits) are read up
// to the first character that cannot continue the number. Empty or
// non-numeric text gives 0; a number beyond the 64-bit float range gives the
// largest finite value of its sign. The point is "." whatever the locale.
double fieldToNum(const QString &text);

} // namespace Vorlane
