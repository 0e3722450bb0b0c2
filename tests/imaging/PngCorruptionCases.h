// Damaged variants of a PNG file for the corruption test and the fuzz target.
#pragma once

#include <random>
#include <string>
#include <vector>

namespace pngtest {

// Truncations, bit flips (the hit chunk's CRC repaired, so the damage reaches the
// decoders), huge chunk lengths and image sizes.
std::vector<std::string> DamagedVariants(const std::string& png, std::mt19937& random, int flips);
// Runs both loaders; true when each either loads or raises one of the program's exceptions.
bool LoadsOrRefuses(const std::string& data);

}  // namespace pngtest
