#include "column_labels.h"

std::string ColumnName(const ColumnLabels& labels, std::int32_t column) {
  if (column >= 1 && static_cast<std::size_t>(column) <= labels.names.size()) {
    return labels.names[static_cast<std::size_t>(column - 1)];
  }
  std::string word = labels.word;
  if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
  return word + " " + std::to_string(column);
}
