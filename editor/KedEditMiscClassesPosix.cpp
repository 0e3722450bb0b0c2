// Stand-ins of the editor's Win32 support routines: elsewhere there are no bitmap
// resources and no image lists.
#include "editor/KedEditMiscClasses.h"
#include "editor/KedEditMiscProcs.h"

void RequestKedFreeNotification(TCustomImageList*, TComponent*) {}

std::unique_ptr<TBitmap> LoadKedBitmapResourceFromModule(const std::string& name) {
  throw Exception(Format("Resource %s not found", name));
}
