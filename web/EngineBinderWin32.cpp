#include <windows.h>

#include "web/EngineBinder.h"
#include "web/EngineMapper.h"

namespace {
template <class F>
bool BindExport(void* moduleBase, F& slot, const char* name) {
  slot = reinterpret_cast<F>(FindEngineExport(moduleBase, name));
  return slot != nullptr;
}
}  // namespace

bool TEngineFront::Bind() {
  // Binding again must not leave the earlier image mapped and attached.
  Unbind();
  HMODULE self = ::GetModuleHandleA(nullptr);
  HRSRC info = ::FindResourceA(self, exports_.resourceName, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (info == nullptr) return false;
  HGLOBAL resource = ::LoadResource(self, info);
  const void* data = resource ? ::LockResource(resource) : nullptr;
  bool bound = false;
  if (data != nullptr) {
    moduleBase_ = MapEngineImage(data, ::SizeofResource(self, info), entryPoint_);
    if (moduleBase_ != nullptr) {
      netengine::EngineFunctions& f = functions_;
      // Every export is looked up, even after one is missing, as the components check each.
      bound = BindExport(moduleBase_, f.Create, exports_.create);
      bound &= BindExport(moduleBase_, f.Destroy, exports_.destroy);
      bound &= BindExport(moduleBase_, f.Set, exports_.set);
      bound &= BindExport(moduleBase_, f.Get, exports_.get);
      bound &= BindExport(moduleBase_, f.GetLastError, exports_.getLastError);
      bound &= BindExport(moduleBase_, f.CheckIndex, exports_.checkIndex);
      bound &= BindExport(moduleBase_, f.Do, exports_.doMethod);
    }
  }
  if (resource) ::FreeResource(resource);
  return bound;
}

void TEngineFront::Unbind() {
  functions_ = netengine::EngineFunctions{};
  if (moduleBase_ != nullptr) UnmapEngineImage(moduleBase_, entryPoint_);
  moduleBase_ = nullptr;
  entryPoint_ = nullptr;
}
