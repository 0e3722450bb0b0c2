// The reference decoder for the cross-check: Debian's libpng, native builds only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pngtest {

// Decodes to 8-bit RGBA, one value per pixel (R | G << 8 | B << 16 | A << 24), rows from the
// top. Palettes and low-bit grey are expanded, tRNS is not applied (opaque unless the image
// has an alpha channel). 16-bit samples are scaled (v * 255 / 65535, rounded) or cut to their
// high byte. Returns false when libpng refuses the data.
bool ReadWithLibpng(const std::string& png, bool scale16, uint32_t& width, uint32_t& height,
                    std::vector<uint32_t>& pixels);

}  // namespace pngtest
