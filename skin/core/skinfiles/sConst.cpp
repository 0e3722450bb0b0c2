#include "skin/core/skinfiles/sConst.h"

std::string SkinTextOK;
std::string SkinTextCancel;
std::string SkinTextRoot;
std::string SkinTextSelectDirectory;
std::string SkinTextCreate;
std::string SkinTextRestore;
std::string SkinTextMove;
std::string SkinTextSize;
std::string SkinTextMinimize;
std::string SkinTextMaximize;
std::string SkinTextClose;
std::string SkinTextAvailableSkins;
std::string SkinTextInternal;
std::string SkinTextFrameAdapter;

int SkinScrollBarWidth = 16;

void InitSkinConstants(int systemScrollBarWidth) {
  SkinTextOK = "OK";
  SkinTextCancel = "Cancel";
  SkinTextRoot = "Root :";
  SkinTextSelectDirectory = "Select directory";
  SkinTextCreate = "Create";
  SkinTextRestore = "Restore";
  SkinTextMove = "Move";
  SkinTextSize = "Size";
  SkinTextMinimize = "Minimize";
  SkinTextMaximize = "Maximize";
  SkinTextClose = "Close";
  SkinTextAvailableSkins = "Available skins";
  SkinTextInternal = "(internal)";
  SkinTextFrameAdapter = "TsFrameAdapter adapter must be placed on the handled frame";
  if (systemScrollBarWidth > 0) SkinScrollBarWidth = systemScrollBarWidth;
}
