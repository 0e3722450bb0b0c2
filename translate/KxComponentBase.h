// The common base of the translation components.
#pragma once

#include "framework/Classes.h"

class TKxComponent : public TComponent {
  K_CLASS(TKxComponent, TComponent)
  explicit TKxComponent(TComponent* owner) : TComponent(owner) {}
};
