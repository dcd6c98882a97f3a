#pragma once
// The generator's preview: the editor assembled from the images in a folder (see PreviewImage.cpp).

#include <string>

namespace imagegen {

// Writes the preview to out; false when an image cannot be read or the file cannot be written.
// At scale 2 the preview is twice the size, made of the folder's twice-size images.
bool PaintPreview(const std::string& imageFolder, const std::string& out, bool browser, int scale);
// Writes the crop (x, y, w, h) of a PNG magnified by scale, pixels kept square.
bool ZoomCrop(const std::string& in, int x, int y, int w, int h, int scale, const std::string& out);

} // namespace imagegen
