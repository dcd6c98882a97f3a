# Every file embedded in the library: one "TYPE|KEY|path relative to resources/" entry each.
# Subsystems append their own lines; platform::FindResource(type, key) finds them.
set(VORNA_RESOURCES "")
# The twelve factory banks (FXB images made by tools/bankgen), found by their key word.
list(APPEND VORNA_RESOURCES
  "PROGINIT|FACTORY|banks/init.fxb"
  "PROGINIT|EMPTY|banks/empty.fxb"
  "PROGINIT|TOLLUND|banks/tollund.fxb"
  "PROGINIT|COLLECTION1|banks/collection1.fxb"
  "PROGINIT|COLLECTION2|banks/collection2.fxb"
  "PROGINIT|COLLECTION3|banks/collection3.fxb"
  "PROGINIT|COLLECTION4|banks/collection4.fxb"
  "PROGINIT|COLLECTION5|banks/collection5.fxb"
  "PROGINIT|COLLECTION6|banks/collection6.fxb"
  "PROGINIT|COLLECTION7|banks/collection7.fxb"
  "PROGINIT|COLLECTION8|banks/collection8.fxb"
  "PROGINIT|COLLECTION9|banks/collection9.fxb")
# The fonts the editor's texts are drawn with, from Debian's fonts-liberation (metric-compatible
# stand-ins for "Arial" and "Courier New"), embedded straight from the system.
list(APPEND VORNA_RESOURCES
  "FONT|LiberationSans-Regular|/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"
  "FONT|LiberationMono-Regular|/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf")
# The editor's twelve images (drawn by tools/imagegen), keyed by their image id.
list(APPEND VORNA_RESOURCES
  "PNG|101|img/algo.png"
  "PNG|102|img/back.png"
  "PNG|103|img/browser.png"
  "PNG|104|img/button.png"
  "PNG|105|img/knob.png"
  "PNG|106|img/learn.png"
  "PNG|107|img/next.png"
  "PNG|108|img/prev.png"
  "PNG|109|img/switch_v.png"
  "PNG|110|img/switch4.png"
  "PNG|111|img/unlearn.png"
  "PNG|112|img/waves.png")
# Their twice-size versions (drawn by the same painters at 2x), for the editor's larger scales:
# key "<id>@2x". Scales between 100 % and 200 % are made from these by scaling down.
list(APPEND VORNA_RESOURCES
  "PNG|101@2x|img/2x/algo.png"
  "PNG|102@2x|img/2x/back.png"
  "PNG|103@2x|img/2x/browser.png"
  "PNG|104@2x|img/2x/button.png"
  "PNG|105@2x|img/2x/knob.png"
  "PNG|106@2x|img/2x/learn.png"
  "PNG|107@2x|img/2x/next.png"
  "PNG|108@2x|img/2x/prev.png"
  "PNG|109@2x|img/2x/switch_v.png"
  "PNG|110@2x|img/2x/switch4.png"
  "PNG|111@2x|img/2x/unlearn.png"
  "PNG|112@2x|img/2x/waves.png")
