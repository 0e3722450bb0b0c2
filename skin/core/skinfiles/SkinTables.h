// The tables a skin is read into: one record per INI section, the masks (images and parts of
// the master image), the JPEG patterns and the skin-wide values of [GLOBALINFO]; the reader
// that fills them from a skin INI and its image files, and the lookups by name.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/Jpeg.h"
#include "skin/core/pixels/sGradient.h"
#include "skin/core/skinfiles/SkinIni.h"
#include "skin/core/skinfiles/sMaskData.h"

// A skin that cannot be used (the message names the value and what is wrong with it).
K_EXCEPTION(ESkinLoadError, Exception);

// Colours and looks of one state (normal or hot) of a section.
struct TsGenState {
  TColor Color = 0;
  TColor FontColor = 0;
  TColor ShadowLeft = -1;  // the four text shadow colours, -1 = none
  TColor ShadowTop = -1;
  TColor ShadowRight = -1;
  TColor ShadowBottom = -1;
  int GradientPercent = 0;
  std::string GradientData;
  TsGradArray Gradient;
  int ImagePercent = 0;
  TColor GlowColor = 0;
  uint8_t GlowSize = 0;
  int Transparency = 0;
};
using TsProps = std::array<TsGenState, 2>;  // normal, hot

// One INI section of the skin.
struct TsGeneralData {
  std::string ParentClass;  // PARENTCLASS as written, empty when missing
  std::string ClassName;
  TsProps Props;
  TColor Color = 0;
  TColor FontColor = 0;
  std::array<TColor, 4> FontShadows{-1, -1, -1, -1};  // TCLEFT, TCTOP, TCRIGHT, TCBOTTOM
  TColor HotFontColor = 0;
  std::array<TColor, 4> HotFontShadows{-1, -1, -1, -1};
  bool GiveOwnFont = false;
  int Glow = 0;
  int GlowMargin = 0;
  bool ReservedBoolean = false;
  int Transparency = 0;
  int GradientPercent = 0;
  std::string GradientData;
  TsGradArray Gradient;
  int ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  int FadingIterations = 0;
  TColor HotColor = 0;
  int HotTransparency = 0;
  int HotGradientPercent = 0;
  std::string HotGradientData;
  TsGradArray HotGradient;
  int HotImagePercent = 0;
  TColor HotGlowColor = 0;
  TColor GlowColor = 0;
  uint8_t HotGlowSize = 0;
  uint8_t GlowSize = 0;
  int BorderMaskIndex = -1;
  int ImgTopLeft = -1;
  int ImgTopRight = -1;
  int ImgBtmLeft = -1;
  int ImgBtmRight = -1;
  int States = 0;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;
using TsMaskArray = std::vector<TsMaskData>;

// A JPEG image of 900000 pixels or more, painted as a pattern.
struct TsPatternData {
  std::unique_ptr<TJPEGImage> Image;
  std::string SectionName;
  std::string PropertyName;
};
using TsPatternArray = std::vector<TsPatternData>;

// The skin-wide values of [GLOBALINFO] and the state of the current skin.
struct TsSkinData {
  std::string SkinPath;  // the skin's folder, ending with "\"
  bool Active = false;   // a loaded skin is in force
  double Version = 0;
  std::string Author;
  std::string Description;
  int16_t BorderWidth = 4;
  int16_t TitleHeight = 30;
  int16_t MaxHeight = 0;
  int16_t FormOffset = 8;
  int16_t AlignOffset = 0;
  int16_t CenterOffset = 0;
  int16_t BorderMode = 0;
  int32_t Shadow1Color = 0;
  int Shadow1Offset = 0;
  int Shadow1Blur = -1;
  int Shadow1Transparency = 0;
  int16_t BISpace = 0;
  int16_t BIVAlign = 0;
  int16_t BIRight = 0;
  int16_t BILeft = 0;
  int16_t BITop = 0;
  int32_t BorderColor = 0;
  int16_t BIKeepHue = 0;
  int BICloseGlow = 0;
  int BICloseGlowMargin = 0;
  int BIMaxGlow = 0;
  int BIMaxGlowMargin = 0;
  int BIMinGlow = 0;
  int BIMinGlowMargin = 0;
};

// Where the image files named in a skin's values come from.
class ISkinImageSource {
 public:
  virtual ~ISkinImageSource() = default;
  // The file a value names as a stream at position 0, owned by the source or handed over in
  // `holder`; null when there is no such image.
  virtual TMemoryStream* Open(const std::string& value,
                              std::unique_ptr<TMemoryStream>& holder) const = 0;
};

// Everything one read of a skin produces. A new read fills a fresh object; the manager
// takes it over only when the read succeeded.
struct TsSkinTables {
  TsSkinData Skin;
  std::unique_ptr<TBitmap> MasterImage;
  TsGeneralDataArray Sections;
  TsMaskArray Masks;
  TsPatternArray Patterns;
};

// The largest image a skin may use, in pixels; larger ones fail the load before their pixels
// are allocated.
constexpr int64_t MaxSkinImagePixels = int64_t{8192} * 8192;
constexpr int64_t MaxSkinImageFileSize = 64 * 1024 * 1024;

// What one skin may hold, many times what real skins use; a skin beyond any of these fails
// its load with a message naming the limit, before it costs more than a moment to find out.
struct TSkinLimits {
  static constexpr int MaxLineLength = 4096;  // bytes in one line of the skin INI
  static constexpr int MaxSections = 4096;
  static constexpr int MaxMasks = 16384;
  // Sections one value may be looked up through: the section and its PARENTCLASS chain.
  static constexpr int MaxParentChain = 64;
};

// Raises ESkinLoadError when the text of a skin INI is larger than kMaxSkinIniSize or has a
// line longer than TSkinLimits::MaxLineLength; `name` says which file it is in the message.
void CheckSkinIniText(const std::string& text, const std::string& name);

struct TSkinReadSettings {
  int HueOffset = 0;
  int Saturation = 0;
  TsSkinManager* Manager = nullptr;
  // Extra INI lines added to every skin, and where the files they name are read from (the
  // skin's folder on disk, also for packed and stored skins).
  const std::vector<std::string>* CommonSections = nullptr;
  const ISkinImageSource* DiskImages = nullptr;
};

// Reads masks (with the master image), patterns and sections, each followed by what the
// CommonSections add, then applies hue and saturation. Raises ESkinLoadError (or the conversion
// error of a bad number) for a skin that cannot be used, also for one beyond TSkinLimits or with
// a PARENTCLASS chain that comes back to a section it passed; `tables` is then incomplete and
// must be dropped.
void ReadSkinTables(const TSkinIni& ini, const ISkinImageSource& images,
                    const TSkinReadSettings& settings, TsSkinTables& tables);

// Lookups (see TsSkinManager for their rules).
int SectionIndexOf(const TsGeneralDataArray& sections, const std::string& name);
enum class TMaskFilter { All, Textures };
int MaskIndexOf(const TsGeneralDataArray& sections, const TsMaskArray& masks, int sectionIndex,
                const std::string& sectionName, const std::string& propertyName,
                TMaskFilter filter = TMaskFilter::All);
int PatternIndexOf(const TsGeneralDataArray& sections, const TsPatternArray& patterns,
                   int sectionIndex, const std::string& sectionName,
                   const std::string& propertyName);
