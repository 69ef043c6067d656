#pragma once
// What a column of a grid stands for (a microphone position, a measurement of a set with its
// position, a channel), so that captions and read-outs can name it without knowing the reader.

#include <cstdint>
#include <string>
#include <vector>

struct ColumnLabels {
  std::string word = "microphone";  // what one column is, in lower case
  // The name of each data column (element 0 is column 1); empty: the word and the number.
  std::vector<std::string> names;
  // Where the columns come from, for the legend ("receiver 1, emitter 1, horizontal plane");
  // empty when there is nothing to say.
  std::string source;
};

// "Microphone 3", or the column's own name.
std::string ColumnName(const ColumnLabels& labels, std::int32_t column);
