#pragma once

#include <string>

// A file name as it may be printed to a terminal: unchanged when it holds no control character,
// otherwise in double quotes with control characters, quotes and backslashes escaped (\n, \t,
// \xNN), so that no name can move the cursor, clear the screen or fake another line.
std::string ShownName(const std::string& name);
