#pragma once
// The scale an X11 desktop asks applications for, read from the two places desktops keep it: the
// Xft.dpi resource of the X server's resource string, and the GDK_SCALE environment variable.
// Only text is parsed here (no X calls), so every odd value can be tried in a unit test; a value
// that cannot be meant seriously counts as missing.

namespace platform::x11 {

// The percentage (96 dpi = 100) the last "Xft.dpi:" line of a resource string asks for; 0 when
// there is none, or its value is not a plain number of 24 to 960 dpi. Null counts as empty.
double ScaleFromXResources(const char* resources);

// The percentage of a GDK_SCALE value, a whole factor from 1 to 8 ("2" asks for 200); 0 for
// anything else (null, empty, fractions, signs, words).
int ScaleFromGdkScale(const char* value);

// The desktop's scale: Xft.dpi when it holds a usable value, else GDK_SCALE, else 100.
double DesktopScale(const char* resources, const char* gdkScale);

} // namespace platform::x11
