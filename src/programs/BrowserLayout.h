#pragma once
// The arithmetic of the browser's views: which files the folder list keeps, how a program-grid
// cell maps to a list item, paging of the bank list and the grid, and what is highlighted.
// The grid has seven columns (one per voice bank) of 33 rows; a column shows programs offset to
// offset + 32 of its 48.

#include <string>

namespace programs {

constexpr int kBankListRows = 22;
constexpr int kGridColumns = 7;
constexpr int kGridRows = 33;
constexpr int kGridCells = kGridColumns * kGridRows; // 231
constexpr int kGridPageOffset = 33;
constexpr int kColumnPrograms = 48;

// True when the text after the name's last "." (looked for only after the last "\" or "/") is
// exactly fxb, FXB, fxp, FXP, syx or SYX.
bool IsBrowsableFileName(const std::string& name);
// The extension with its dot, as that rule finds it; empty when there is none.
std::string BrowserFileExtension(const std::string& name);

// The list item a grid cell shows: cell + (cell / 33) x 15 + offset.
int GridCellItem(int cell, int gridOffset);

// The bank-list offset after paging by delta rows (+22 or -22) in a list of count entries.
int PagedBankListOffset(int offset, int delta, int count);
// The grid offset after paging by delta (+33 or -33) with count programs in the list.
int PagedGridOffset(int offset, int delta, int count);

// The highlighted bank row: selected - offset when inside 0..count - 1, else -1.
int HighlightedBankRow(int selectedBank, int bankListOffset, int count);
// The highlighted grid cell of a list item, or -1 when it is not visible at this offset.
int HighlightedGridCell(int highlightedProgram, int gridOffset);
// The grid offset that shows a program of the instrument: 0 for positions 1..33, 33 beyond.
int GridOffsetShowing(int program);

} // namespace programs
