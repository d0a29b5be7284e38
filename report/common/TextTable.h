#pragma once
// Left-aligned columns for the terminal and for the window's fixed-width texts: each column
// as wide as its widest text (counted in characters, so the UTF-8 micro sign takes one
// place), two blanks between columns, no blanks at the end of a line.
#include <string>
#include <vector>

namespace quillon {
inline namespace common {

class TextTable {
public:
    void AddRow(std::vector<std::string> cells) { m_rows.push_back(std::move(cells)); }
    // The rows, each ended by a line feed.
    std::string Text() const;

private:
    std::vector<std::vector<std::string>> m_rows;
};

} // namespace common
} // namespace quillon
