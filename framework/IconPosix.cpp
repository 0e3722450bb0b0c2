// Without a window system an icon is its file: saved back as loaded, drawn nowhere.
#include "framework/Icon.h"

int SystemIconSize() { return 32; }

void TIcon::SaveToStream(TStream& stream) {
  if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TIcon::Draw(TCanvas*, const TRect&) {}
