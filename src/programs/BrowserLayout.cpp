#include "programs/BrowserLayout.h"

namespace programs {

std::string BrowserFileExtension(const std::string& name) {
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return std::string();
    std::size_t separator = name.find_last_of("\\/");
    if (separator != std::string::npos && separator > dot) return std::string();
    return name.substr(dot);
}

bool IsBrowsableFileName(const std::string& name) {
    static const char* const kept[] = {".fxb", ".FXB", ".fxp", ".FXP", ".syx", ".SYX"};
    std::string extension = BrowserFileExtension(name);
    for (const char* candidate : kept) {
        if (extension == candidate) return true;
    }
    return false;
}

int GridCellItem(int cell, int gridOffset) {
    return cell + (cell / kGridRows) * (kColumnPrograms - kGridRows) + gridOffset;
}

int PagedBankListOffset(int offset, int delta, int count) {
    if (count <= kBankListRows) return offset;
    int next = offset + delta;
    if (next >= count) next -= kBankListRows;
    if (next < 0) next = 0;
    return next;
}

int PagedGridOffset(int offset, int delta, int count) {
    if (count <= kGridRows) return offset;
    int next = offset + delta;
    if (next >= kColumnPrograms) next -= kGridPageOffset;
    if (next < 0) next = 0;
    return next;
}

int HighlightedBankRow(int selectedBank, int bankListOffset, int count) {
    int row = selectedBank - bankListOffset;
    return selectedBank >= 0 && row >= 0 && row < count ? row : -1;
}

int HighlightedGridCell(int highlightedProgram, int gridOffset) {
    if (highlightedProgram < 0) return -1;
    int row = highlightedProgram % kColumnPrograms - gridOffset;
    if (row < 0 || row >= kGridRows) return -1;
    int cell = row + (highlightedProgram / kColumnPrograms) * kGridRows;
    return cell < kGridCells ? cell : -1;
}

int GridOffsetShowing(int program) {
    return program % kColumnPrograms <= kGridRows - 1 ? 0 : kGridPageOffset;
}

} // namespace programs
