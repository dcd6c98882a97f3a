#pragma once
// The scale Windows asks for on the monitor that shows a window, as a percentage (96 dpi is 100).
// The process's DPI awareness belongs to the host and is never changed here; what newer Windows
// versions offer is looked up at run time, and older ones fall back to the screen's DPI.

namespace platform::win32 {

// For the monitor of the parent window's top-level, or the primary monitor when there is no
// usable parent; 100 when nothing answers.
double SystemScaleFor(void* parent);

// The percentage of a DPI value; 0 for a value no monitor has (0, or beyond ten times 96).
double PercentOfDpi(unsigned dpi);

} // namespace platform::win32
