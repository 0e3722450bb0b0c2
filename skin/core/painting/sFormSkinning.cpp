#include "skin/core/painting/sFormSkinning.h"

#include <algorithm>

std::unique_ptr<std::vector<std::unique_ptr<ISkinDialogProvider>>> DialogProviderList;
bool AnimationRunning = false;
bool SessionEnding = false;
ISkinProvider* MdiMainProvider = nullptr;

namespace {

std::vector<ISkinProvider*>& LiveProviders() {
  static std::vector<ISkinProvider*> providers;
  return providers;
}

ISkinFormServices* RegisteredServices = nullptr;

}  // namespace

ISkinProvider::ISkinProvider() { LiveProviders().push_back(this); }

ISkinProvider::~ISkinProvider() {
  auto& live = LiveProviders();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  if (MdiMainProvider == this) MdiMainProvider = nullptr;
}

ISkinProvider* FindLiveSkinProvider(intptr_t value) {
  if (value == 0) return nullptr;
  for (ISkinProvider* provider : LiveProviders())
    if (reinterpret_cast<intptr_t>(provider) == value) return provider;
  return nullptr;
}

ISkinFormServices& FormServices() {
  static ISkinFormServices none;
  return RegisteredServices ? *RegisteredServices : none;
}

void SetFormServices(ISkinFormServices* services) { RegisteredServices = services; }
