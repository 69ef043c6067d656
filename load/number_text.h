#pragma once

#include <optional>
#include <string_view>

// A decimal number typed by a user, with "." as the decimal separator: blanks and tabs around it
// are allowed, an exponent too; anything else, or a value that is not finite, gives nullopt.
std::optional<double> ParseDecimal(std::string_view text);
