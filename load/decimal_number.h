#pragma once
// Conversion of the decimal numbers of text exports to double precision.

// Converts the whole of [begin, end), a decimal number [+-] digits [. digits] [(e|E) [+-] digits]
// with at least one digit before the exponent, to the nearest double; false when it is beyond
// double precision. The result is always std::from_chars's; most numbers of an export take a
// shortcut that gives it without the general algorithm.
bool DecimalToDouble(const char* begin, const char* end, double& value);
