#include "skin/core/skinfiles/SkinTables.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <unordered_map>

#include "framework/Streams.h"
#include "imaging/skPNG.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/skUtils.h"

namespace {

const std::string kGlobalInfo = "GLOBALINFO";

// ---- errors -----------------------------------------------------------------------------------

[[noreturn]] void BadValue(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& why) {
  throw ESkinLoadError("Skin value [" + section + "] " + key + "=" + value + ": " + why);
}

int16_t Narrow16(int value) { return static_cast<int16_t>(value); }

// Called before each mask is added, so a skin of a million mask values stops at the limit.
void CheckRoomForMask(const TsSkinTables& tables) {
  if (tables.Masks.size() >= static_cast<size_t>(TSkinLimits::MaxMasks))
    throw ESkinLoadError("The skin has more than " + IntToStr(TSkinLimits::MaxMasks) +
                         " masks (images and parts of the master image)");
}

// What find(name) gives for the section, or while that is -1 for its parent, the parent's
// parent and so on; -1 when none gives more, or the parents run in a circle. indexOf(name)
// finds a section's position.
template <class TIndexOf, class TFind>
int FindUpParents(const TsGeneralDataArray& sections, int sectionIndex,
                  const std::string& sectionName, TIndexOf indexOf, TFind find) {
  std::set<std::string> seen;
  std::string name = sectionName;
  while (sectionIndex >= 0 && !name.empty()) {
    const int found = find(name);
    if (found >= 0) return found;
    if (sectionIndex >= static_cast<int>(sections.size())) return -1;
    seen.insert(name);
    const std::string& parent = sections[static_cast<size_t>(sectionIndex)].ParentClass;
    if (parent.empty() || parent == name || seen.count(parent)) return -1;
    name = parent;
    sectionIndex = indexOf(name);
  }
  return -1;
}

// ---- images -----------------------------------------------------------------------------------

enum class TImageKind { Bmp, Png, Jpeg };

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// The size a file's header claims, so that a huge claim fails before anything is allocated;
// false when the header cannot be read (the decoder then reports the damage).
bool ClaimedSize(const uint8_t* b, size_t size, TImageKind kind, int64_t& w, int64_t& h) {
  switch (kind) {
    case TImageKind::Bmp:
      if (size < 26) return false;
      if (Le32(&b[14]) == 12) {
        w = b[18] | (b[19] << 8);
        h = b[20] | (b[21] << 8);
      } else {
        w = static_cast<int32_t>(Le32(&b[18]));
        h = static_cast<int32_t>(Le32(&b[22]));
      }
      h = h < 0 ? -h : h;
      return true;
    case TImageKind::Png:
      if (size < 24) return false;
      w = Be32(&b[16]);
      h = Be32(&b[20]);
      return true;
    case TImageKind::Jpeg:
      // Walk the markers to the first start-of-frame.
      for (size_t i = 2; i + 9 < size;) {
        if (b[i] != 0xFF) return false;
        const uint8_t marker = b[i + 1];
        const size_t length = (b[i + 2] << 8) | b[i + 3];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
          h = (b[i + 5] << 8) | b[i + 6];
          w = (b[i + 7] << 8) | b[i + 8];
          return true;
        }
        i += 2 + length;
      }
      return false;
  }
  return false;
}

// The pixels of a skin image; null when the source has no such file. A damaged or huge image
// fails the load.
std::unique_ptr<TGraphic> LoadImage(const ISkinImageSource& images, const std::string& name,
                                    TImageKind kind) {
  std::unique_ptr<TMemoryStream> holder;
  TMemoryStream* stream = images.Open(name, holder);
  if (!stream) return nullptr;
  int64_t w = 0, h = 0;
  if (ClaimedSize(stream->Memory(), static_cast<size_t>(stream->Size()), kind, w, h) &&
      w * h > MaxSkinImagePixels)
    throw ESkinLoadError("Skin image " + name + " is too large (" + IntToStr(w) + " x " +
                         IntToStr(h) + " pixels)");
  std::unique_ptr<TGraphic> graphic;
  switch (kind) {
    case TImageKind::Bmp:
      graphic = std::make_unique<TBitmap>();
      break;
    case TImageKind::Png:
      graphic = std::make_unique<TPNGGraphic>();
      break;
    case TImageKind::Jpeg:
      graphic = std::make_unique<TJPEGImage>();
      break;
  }
  stream->SetPosition(0);
  try {
    graphic->LoadFromStream(*stream);
  } catch (const Exception& e) {
    throw ESkinLoadError("Skin image " + name + " cannot be read: " + e.Message());
  }
  if (int64_t{graphic->Width()} * graphic->Height() > MaxSkinImagePixels)
    throw ESkinLoadError("Skin image " + name + " is too large");
  return graphic;
}

// A 32-bit copy: images of fewer bits get alpha 255 except key pixels, which keep alpha 0.
void MakeImage32(TBitmap& bitmap) {
  if (bitmap.PixelFormat() == pf32bit) return;
  bitmap.SetPixelFormat(pf32bit);
  FillAlphaRect(&bitmap, TRect{0, 0, bitmap.Width(), bitmap.Height()}, 255, true);
}

std::unique_ptr<TBitmap> LoadBitmap32(const ISkinImageSource& images, const std::string& name,
                                      TImageKind kind) {
  std::unique_ptr<TGraphic> graphic = LoadImage(images, name, kind);
  if (!graphic || graphic->Width() == 0) return nullptr;
  std::unique_ptr<TBitmap> bitmap(static_cast<TBitmap*>(graphic.release()));
  if (kind == TImageKind::Png) ClearWhiteTransparentPixels(bitmap.get());
  MakeImage32(*bitmap);
  return bitmap;
}

// ---- masks ------------------------------------------------------------------------------------

class TMaskReader {
 public:
  TMaskReader(const ISkinImageSource& images, TsSkinTables& tables, TsSkinManager* manager)
      : images_(images), tables_(tables), manager_(manager) {}

  void Read(const std::string& section, const std::string& key, const std::string& value);
  // Only the "#" form (the values a manager's CommonSections add).
  void ReadHash(const std::string& section, const std::string& key, const std::string& value) {
    section_ = &section;
    key_ = &key;
    value_ = &value;
    ReadHashForm();
  }

 private:
  // The integer in characters pos..pos+width-1 (1-based) of a fixed-position value.
  int Field(int pos, int width) const {
    if (value_->size() < static_cast<size_t>(pos - 1 + width))
      BadValue(*section_, *key_, *value_, "the value is too short");
    const std::string text =
        value_->substr(static_cast<size_t>(pos - 1), static_cast<size_t>(width));
    int result = 0;
    if (!TryParseSkinInteger(text, result))
      BadValue(*section_, *key_, *value_, "'" + text + "' is not a valid integer value");
    if (result < 0) BadValue(*section_, *key_, *value_, "negative values are not allowed");
    return result;
  }
  TRect FieldRect() const { return TRect{Field(2, 4), Field(7, 4), Field(12, 4), Field(17, 4)}; }

  void Fail(const std::string& why) const { BadValue(*section_, *key_, *value_, why); }
  TsMaskData& NewMask(bool upperNames);
  void CheckMaskType(int maskType) const {
    if (maskType != 0 && maskType != 1)
      Fail("unknown mask type " + IntToStr(maskType) + " (0 or 1 expected)");
  }
  void CheckImageCount(int count) const {
    if (count < 0 || count > 1000) Fail("image count " + IntToStr(count) + " is out of range");
  }
  void SetDefaultWidths(TsMaskData& mask) const;
  void PlaceInMaster(TsMaskData& mask, TRect r) const;

  void ReadOwnImage();  // "!"
  void ReadGlyph();     // "@"
  void ReadBordered();  // "^"
  void ReadTexture();   // "~"
  void ReadHashForm();  // "... #(l,t,r,b)(count,type,border,flags)"
  void ReadBitmapName();

  const ISkinImageSource& images_;
  TsSkinTables& tables_;
  TsSkinManager* manager_;
  const std::string* section_ = nullptr;
  const std::string* key_ = nullptr;
  const std::string* value_ = nullptr;
};

TsMaskData& TMaskReader::NewMask(bool upperNames) {
  CheckRoomForMask(tables_);
  TsMaskData mask;
  mask.SectionName = upperNames ? UpperCase(*section_) : *section_;
  mask.PropertyName = upperNames ? UpperCase(*key_) : *key_;
  mask.Manager = manager_;
  tables_.Masks.push_back(std::move(mask));
  return tables_.Masks.back();
}

void TMaskReader::SetDefaultWidths(TsMaskData& mask) const {
  const int columns = mask.ImageCount * 3;
  const int rows = (mask.MaskType + 1) * 3;
  if (columns == 0 || rows == 0) Fail("its border widths cannot be derived from image count 0");
  mask.WidthLeft = Narrow16(mask.SourceRect.Width() / columns);
  mask.WidthTop = Narrow16(mask.SourceRect.Height() / rows);
  mask.WidthRight = mask.WidthLeft;
  mask.WidthBottom = mask.WidthTop;
}

// A rectangle of the master image, clipped to it; a rectangle that lies wholly outside, or is
// inverted, fails the load.
void TMaskReader::PlaceInMaster(TsMaskData& mask, TRect r) const {
  if (r.Right < r.Left || r.Bottom < r.Top) Fail("the rectangle is inverted");
  if (const TBitmap* master = tables_.MasterImage.get(); master && !master->Empty()) {
    r.Right = std::min(r.Right, master->Width());
    r.Bottom = std::min(r.Bottom, master->Height());
    if (r.Right <= r.Left || r.Bottom <= r.Top)
      Fail("the rectangle lies outside the master image (" + IntToStr(master->Width()) + " x " +
           IntToStr(master->Height()) + ")");
  }
  mask.SourceRect = r;
}

void TMaskReader::Read(const std::string& section, const std::string& key,
                       const std::string& value) {
  section_ = &section;
  key_ = &key;
  value_ = &value;
  switch (value[0]) {
    case '!':
      ReadOwnImage();
      break;
    case '@':
      ReadGlyph();
      break;
    case '^':
      ReadBordered();
      break;
    case '~':
      ReadTexture();
      break;
    default:
      if (value.find('#') != std::string::npos)
        ReadHashForm();
      else
        ReadBitmapName();
  }
}

void TMaskReader::ReadOwnImage() {
  const TCharSet bang = MakeCharSet("!");
  const int wordCount = WordCount(*value_, bang);
  auto word = [&](int n) { return GetNthWordInt(n, *value_, bang); };
  const std::string name = GetNthWord(1, *value_, bang);
  const std::string upper = UpperCase(name);
  const bool isBmp = upper.find(".BMP") != std::string::npos;
  if (!isBmp && upper.find(".PNG") == std::string::npos) return;
  const int imageCount = word(2);
  const int maskType = word(3);
  const int kind = word(4);
  CheckImageCount(imageCount);
  CheckMaskType(maskType);
  if (kind < 0) Fail("negative mask kind " + IntToStr(kind));
  std::unique_ptr<TBitmap> image =
      LoadBitmap32(images_, name, isBmp ? TImageKind::Bmp : TImageKind::Png);
  if (!image) return;
  TsMaskData& mask = NewMask(false);
  mask.SourceRect = TRect{0, 0, image->Width(), image->Height()};
  mask.Image = std::move(image);
  mask.ImageCount = Narrow16(imageCount);
  mask.MaskType = Narrow16(maskType);
  mask.MaskKind = static_cast<uint8_t>(std::min(kind, 4));
  if (wordCount < 5) {
    SetDefaultWidths(mask);
  } else {
    mask.WidthLeft = Narrow16(word(5));
    mask.WidthTop = Narrow16(word(6));
    mask.WidthRight = Narrow16(word(7));
    mask.WidthBottom = Narrow16(word(8));
  }
  mask.DrawFlags = Narrow16(wordCount < 9 ? 4 : word(9));
}

void TMaskReader::ReadGlyph() {
  const TRect r = FieldRect();
  const int imageCount = Field(22, 1);
  const int maskType = Field(24, 1);
  CheckMaskType(maskType);
  TsMaskData& mask = NewMask(false);
  PlaceInMaster(mask, r);
  mask.ImageCount = Narrow16(imageCount);
  mask.MaskType = Narrow16(maskType);
  mask.MaskKind = mkGlyph;
}

void TMaskReader::ReadBordered() {
  const TRect r = FieldRect();
  const int widths[4] = {Field(22, 4), Field(27, 4), Field(32, 4), Field(37, 4)};
  const int imageCount = Field(42, 1);
  const int maskType = Field(44, 1);
  const int drawFlags = Field(46, 1);
  const int borderWidth = Field(48, 1);
  CheckMaskType(maskType);
  TsMaskData& mask = NewMask(false);
  PlaceInMaster(mask, r);
  mask.ImageCount = Narrow16(imageCount);
  mask.MaskType = Narrow16(maskType);
  mask.DrawFlags = Narrow16(drawFlags);
  mask.BorderWidth = Narrow16(borderWidth);
  mask.MaskKind = mkBorders;
  if (widths[0] + widths[1] + widths[2] + widths[3] != 0) {
    mask.WidthLeft = Narrow16(widths[0]);
    mask.WidthTop = Narrow16(widths[1]);
    mask.WidthRight = Narrow16(widths[2]);
    mask.WidthBottom = Narrow16(widths[3]);
  } else if (borderWidth != 0) {
    mask.WidthLeft = mask.WidthTop = mask.WidthRight = mask.WidthBottom = Narrow16(borderWidth);
  } else {
    SetDefaultWidths(mask);
  }
}

void TMaskReader::ReadTexture() {
  const TRect r = FieldRect();
  const int drawFlags = Field(22, 2);
  const int maskType = value_->size() > 24 ? Field(25, 1) : 0;
  CheckMaskType(maskType);
  TsMaskData& mask = NewMask(false);
  PlaceInMaster(mask, r);
  mask.DrawFlags = Narrow16(drawFlags);
  mask.MaskType = Narrow16(maskType);
  mask.MaskKind = mkTexture;
  mask.ImageCount = 1;
}

void TMaskReader::ReadHashForm() {
  if (*value_ == "#") return;
  const TCharSet wordSeparators = MakeCharSet(" ()");
  const TCharSet numberSeparators = MakeCharSet(" ,");
  const std::string rect = GetNthWord(2, *value_, wordSeparators);
  const std::string counts = GetNthWord(3, *value_, wordSeparators);
  auto number = [&](const std::string& text, int n) {
    return GetNthWordInt(n, text, numberSeparators);
  };
  const TRect r{number(rect, 1), number(rect, 2), number(rect, 3), number(rect, 4)};
  const int imageCount = std::max(1, number(counts, 1));
  const int maskType = std::max(0, number(counts, 2));
  const int borderWidth = std::max(0, number(counts, 3));
  const int drawFlags = WordCount(counts, numberSeparators) < 4 ? 1 : number(counts, 4);
  CheckImageCount(imageCount);
  CheckMaskType(maskType);
  TsMaskData& mask = NewMask(true);
  PlaceInMaster(mask, r);
  mask.ImageCount = Narrow16(imageCount);
  mask.MaskType = Narrow16(maskType);
  mask.BorderWidth = Narrow16(borderWidth);
  mask.DrawFlags = Narrow16(drawFlags);
  if (borderWidth != 0)
    mask.WidthLeft = mask.WidthTop = mask.WidthRight = mask.WidthBottom = Narrow16(borderWidth);
  else
    SetDefaultWidths(mask);
}

void TMaskReader::ReadBitmapName() {
  const std::string name = UpperCase(*value_);
  if (name.find(".BMP") == std::string::npos) return;
  std::unique_ptr<TBitmap> image = LoadBitmap32(images_, name, TImageKind::Bmp);
  if (!image) return;
  TsMaskData& mask = NewMask(true);
  mask.SourceRect = TRect{0, 0, image->Width(), image->Height()};
  mask.Image = std::move(image);
  mask.ImageCount = 3;
  mask.MaskType = 1;
  SetDefaultWidths(mask);
}

void ReadMasterImage(const TSkinIni& ini, const ISkinImageSource& images, TsSkinTables& tables) {
  tables.MasterImage = std::make_unique<TBitmap>();
  const std::string name = ini.ReadString(kGlobalInfo, "MASTERBITMAP", "");
  if (name.empty()) return;
  std::unique_ptr<TBitmap> image = LoadBitmap32(images, name, TImageKind::Bmp);
  if (!image) return;
  image->SetTransparentColor(clFuchsia);
  image->SetTransparent(true);
  tables.MasterImage = std::move(image);
}

void ReadMasks(const TSkinIni& ini, const ISkinImageSource& images, TsSkinManager* manager,
               TsSkinTables& tables) {
  ReadMasterImage(ini, images, tables);
  TMaskReader reader(images, tables, manager);
  for (const TSkinIni::TSection& section : ini.Sections())
    for (const TSkinIni::TKey& key : section.Keys) {
      if (key.Value.empty()) continue;
      if (section.Name == kGlobalInfo && key.Name == "MASTERBITMAP") continue;
      reader.Read(section.Name, key.Name, key.Value);
    }
}

// Masks of the manager's CommonSections: "#" values in the master image, and ".BMP" names
// of image files on disk (only the image and the names are kept).
void ReadCommonMasks(const TSkinIni& common, const ISkinImageSource& disk, TsSkinManager* manager,
                     TsSkinTables& tables) {
  TMaskReader reader(disk, tables, manager);
  const bool hasMaster = tables.MasterImage && !tables.MasterImage->Empty();
  for (const TSkinIni::TSection& section : common.Sections()) {
    if (section.Name == kGlobalInfo) continue;
    for (const TSkinIni::TKey& key : section.Keys) {
      const std::string value = key.Value.empty() ? "-" : key.Value;
      const bool hashForm = value.find('#') != std::string::npos && value != "#";
      if (hashForm && hasMaster) {
        reader.ReadHash(section.Name, key.Name, value);
        continue;
      }
      if (UpperCase(value).find(".BMP") == std::string::npos) continue;
      std::unique_ptr<TBitmap> image = LoadBitmap32(disk, value, TImageKind::Bmp);
      if (!image || image->Width() < 1) continue;
      CheckRoomForMask(tables);
      TsMaskData mask;
      mask.Image = std::move(image);
      mask.SectionName = UpperCase(section.Name);
      mask.PropertyName = UpperCase(key.Name);
      mask.Manager = manager;
      tables.Masks.push_back(std::move(mask));
    }
  }
}

// ---- patterns ---------------------------------------------------------------------------------

// JPEG images: 900000 pixels or more stay patterns, smaller ones become texture masks.
void ReadPatterns(const TSkinIni& ini, const ISkinImageSource& images, TsSkinManager* manager,
                  TsSkinTables& tables) {
  constexpr int64_t kPatternPixels = 900000;
  for (const TSkinIni::TSection& section : ini.Sections())
    for (const TSkinIni::TKey& key : section.Keys) {
      const std::string upper = UpperCase(key.Value.empty() ? "-" : key.Value);
      if (upper.find(".JPG") == std::string::npos && upper.find(".JPEG") == std::string::npos)
        continue;
      std::unique_ptr<TGraphic> graphic = LoadImage(images, key.Value, TImageKind::Jpeg);
      if (!graphic || graphic->Width() <= 0) continue;
      std::unique_ptr<TJPEGImage> jpeg(static_cast<TJPEGImage*>(graphic.release()));
      if (int64_t{jpeg->Width()} * jpeg->Height() >= kPatternPixels) {
        tables.Patterns.push_back(
            TsPatternData{std::move(jpeg), UpperCase(section.Name), UpperCase(key.Name)});
        continue;
      }
      auto texture = std::make_unique<TBitmap>();
      texture->Assign(jpeg->Bitmap());
      texture->SetPixelFormat(pf32bit);
      FillAlphaRect(texture.get(), TRect{0, 0, texture->Width(), texture->Height()}, 255, false);
      CheckRoomForMask(tables);
      TsMaskData mask;
      mask.Image = std::move(texture);
      mask.SectionName = UpperCase(section.Name);
      mask.PropertyName = UpperCase(key.Name);
      mask.MaskKind = mkTexture;
      mask.ImageCount = 1;
      mask.Manager = manager;
      tables.Masks.push_back(std::move(mask));
    }
}

// JPEG files on disk named by the manager's CommonSections: always patterns.
void ReadCommonPatterns(const TSkinIni& common, const ISkinImageSource& disk,
                        TsSkinTables& tables) {
  for (const TSkinIni::TSection& section : common.Sections())
    for (const TSkinIni::TKey& key : section.Keys) {
      const std::string upper = UpperCase(key.Value.empty() ? "-" : key.Value);
      if (upper.find(".JPG") == std::string::npos && upper.find(".JPEG") == std::string::npos)
        continue;
      std::unique_ptr<TGraphic> graphic = LoadImage(disk, key.Value, TImageKind::Jpeg);
      if (!graphic || graphic->Width() <= 0) continue;
      tables.Patterns.push_back(
          TsPatternData{std::unique_ptr<TJPEGImage>(static_cast<TJPEGImage*>(graphic.release())),
                        UpperCase(section.Name), UpperCase(key.Name)});
    }
}

// ---- sections ---------------------------------------------------------------------------------

// The skin's sections with their PARENTCLASS chains checked once, and each value read through
// a chain resolved once per section and remembered: reading every section costs the same
// whatever the depth of the chains. A PARENTCLASS that is empty, "?", the section's own name or
// a section the skin does not have ends the chain; a chain that comes back to a section it
// passed, or runs through more than TSkinLimits::MaxParentChain sections, fails the load.
class TSectionChains {
 public:
  explicit TSectionChains(const TSkinIni& ini);

  // The section's position, -1 when the skin has no section of that name.
  int IndexOf(const std::string& name) const { return ini_.IndexOfSection(name); }

  struct TInteger {
    bool Found = false;
    bool Inherited = false;  // found in a section up the chain, not in the section itself
    int Value = 0;
  };
  // The key as an integer from the section or, where it is missing, not a number or -1, from
  // the sections up its chain.
  TInteger Integer(int section, const std::string& key);
  // The key's text from the section or up its chain ("?" counts as missing); null when none
  // has it.
  const std::string* String(int section, const std::string& key);

 private:
  void CheckChains() const;
  const std::string* Own(int section, const std::string& key) const {
    return ini_.FindValue(ini_.Sections()[static_cast<size_t>(section)].Name, key);
  }

  const TSkinIni& ini_;
  std::vector<int> parent_;  // each section's parent position, -1 where its chain ends
  struct TIntegerMemo {
    bool Known = false;
    TInteger Result;
  };
  struct TStringMemo {
    bool Known = false;
    const std::string* Result = nullptr;
  };
  std::unordered_map<std::string, std::vector<TIntegerMemo>> integers_;
  std::unordered_map<std::string, std::vector<TStringMemo>> strings_;
};

TSectionChains::TSectionChains(const TSkinIni& ini) : ini_(ini) {
  const std::vector<TSkinIni::TSection>& sections = ini.Sections();
  parent_.assign(sections.size(), -1);
  for (size_t i = 0; i < sections.size(); ++i) {
    const std::string* parent = ini.FindValue(sections[i].Name, "PARENTCLASS");
    if (!parent || parent->empty() || *parent == "?" || *parent == sections[i].Name) continue;
    parent_[i] = ini.IndexOfSection(*parent);
  }
  CheckChains();
}

void TSectionChains::CheckChains() const {
  const std::vector<TSkinIni::TSection>& sections = ini_.Sections();
  enum : uint8_t { kNew, kOnPath, kDone };
  std::vector<uint8_t> state(parent_.size(), kNew);
  std::vector<int> length(parent_.size(), 0);  // sections in the chain from this one on
  std::vector<int> path;
  for (size_t start = 0; start < parent_.size(); ++start) {
    path.clear();
    int at = static_cast<int>(start);
    while (at >= 0 && state[static_cast<size_t>(at)] == kNew) {
      state[static_cast<size_t>(at)] = kOnPath;
      path.push_back(at);
      at = parent_[static_cast<size_t>(at)];
    }
    if (at >= 0 && state[static_cast<size_t>(at)] == kOnPath)
      throw ESkinLoadError("Skin section [" + sections[start].Name +
                           "]: its PARENTCLASS chain comes back to section [" +
                           sections[static_cast<size_t>(at)].Name + "]");
    int chain = at >= 0 ? length[static_cast<size_t>(at)] : 0;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
      const size_t i = static_cast<size_t>(*it);
      length[i] = ++chain;
      state[i] = kDone;
      if (chain > TSkinLimits::MaxParentChain)
        throw ESkinLoadError("Skin section [" + sections[i].Name +
                             "]: its PARENTCLASS chain is longer than " +
                             IntToStr(TSkinLimits::MaxParentChain) + " sections");
    }
  }
}

TSectionChains::TInteger TSectionChains::Integer(int section, const std::string& key) {
  std::vector<TIntegerMemo>& memo = integers_[key];
  if (memo.empty()) memo.resize(parent_.size());
  TIntegerMemo& entry = memo[static_cast<size_t>(section)];
  if (entry.Known) return entry.Result;
  TInteger result;
  int value = 0;
  const std::string* text = Own(section, key);
  if (text && TryParseSkinInteger(*text, value) && value != -1) {
    result = TInteger{true, false, value};
  } else if (const int parent = parent_[static_cast<size_t>(section)]; parent >= 0) {
    // The checked chains keep this recursion shorter than TSkinLimits::MaxParentChain.
    result = Integer(parent, key);
    result.Inherited = result.Found;
  }
  // `memo` may have moved while the parent was resolved; look the entry up again.
  TIntegerMemo& stored = integers_[key][static_cast<size_t>(section)];
  stored.Known = true;
  stored.Result = result;
  return result;
}

const std::string* TSectionChains::String(int section, const std::string& key) {
  std::vector<TStringMemo>& memo = strings_[key];
  if (memo.empty()) memo.resize(parent_.size());
  if (memo[static_cast<size_t>(section)].Known) return memo[static_cast<size_t>(section)].Result;
  const std::string* result = Own(section, key);
  if (!result || *result == "?") {
    result = nullptr;
    if (const int parent = parent_[static_cast<size_t>(section)]; parent >= 0)
      result = String(parent, key);
  }
  TStringMemo& stored = strings_[key][static_cast<size_t>(section)];
  stored.Known = true;
  stored.Result = result;
  return result;
}

// Reads of one section's values with the fall-back along its PARENTCLASS chain; a section the
// skin does not have gives the defaults.
class TSectionValues {
 public:
  TSectionValues(TSectionChains& chains, const std::string& section)
      : chains_(chains), index_(chains.IndexOf(section)) {}

  int Integer(const std::string& key, int defaultValue) const {
    if (index_ < 0) return defaultValue;
    const TSectionChains::TInteger found = chains_.Integer(index_, key);
    if (!found.Found) return defaultValue;
    return found.Inherited ? ColorToRGB(found.Value) : found.Value;
  }

  std::string String(const std::string& key, const std::string& defaultValue) const {
    const std::string* value = index_ < 0 ? nullptr : chains_.String(index_, key);
    return value ? *value : defaultValue;
  }

  bool Boolean(const std::string& key) const {
    const std::string value = UpperCase(String(key, "0"));
    return value == "1" || value == "TRUE";
  }
  // Glow sizes and margins: 0 when missing.
  int Integer0(const std::string& key) const { return Integer(key, 0); }

 private:
  TSectionChains& chains_;
  int index_;
};

// One state's values gathered into the block the drawing code reads.
TsGenState StateBlock(TColor color, TColor fontColor, const std::array<TColor, 4>& shadows,
                      int gradientPercent, const std::string& gradientData,
                      const TsGradArray& gradient, int imagePercent, TColor glowColor,
                      uint8_t glowSize, int transparency) {
  TsGenState state;
  state.Color = color;
  state.FontColor = fontColor;
  state.ShadowLeft = shadows[0];
  state.ShadowTop = shadows[1];
  state.ShadowRight = shadows[2];
  state.ShadowBottom = shadows[3];
  state.GradientPercent = gradientPercent;
  state.GradientData = gradientData;
  state.Gradient = gradient;
  state.ImagePercent = imagePercent;
  state.GlowColor = glowColor;
  state.GlowSize = glowSize;
  state.Transparency = transparency;
  return state;
}

// A section's values through a reader (the skin's own sections, or the extra sections a
// manager adds); `states` decides whether the hot values are read. With `zeroShortGradient` a
// gradient text shorter than 2 characters also sets its percentage to 0.
template <class TValues>
void ReadSectionValues(const TValues& v, int states, bool zeroShortGradient, TsGeneralData& g) {
  g.Color = ColorToRGB(v.Integer("COLOR", 0xFFFFFF));
  g.ReservedBoolean = v.Boolean("RESERVEDBOOLEAN");
  g.GiveOwnFont = v.Boolean("GIVEOWNFONT");
  g.Glow = v.Integer0("GLOW");
  g.GlowMargin = v.Integer0("GLOWMARGIN");
  g.FontColor = v.Integer("FONTCOLOR", 0);
  const char* shadowKeys[4] = {"TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
  for (int i = 0; i < 4; ++i) g.FontShadows[i] = v.Integer(shadowKeys[i], -1);
  g.Transparency = v.Integer("TRANSPARENCY", 0);
  g.GradientPercent = v.Integer("GRADIENTPERCENT", 0);
  g.ImagePercent = v.Integer("IMAGEPERCENT", 0);
  g.GradientData = v.String("GRADIENTDATA", " ");
  if (g.GradientData.size() >= 2)
    ParseGradientData(g.GradientData, g.Gradient);
  else if (zeroShortGradient)
    g.GradientPercent = 0;
  g.ShowFocus = v.Boolean("SHOWFOCUS");
  g.FadingEnabled = v.Boolean("FADINGENABLED");
  g.FadingIterations = v.Integer("FADINGITERATIONS", 5);
  g.GlowColor = ColorToRGB(v.Integer("GCOL", 0xFFFFFF));
  g.GlowSize = static_cast<uint8_t>(v.Integer0("GSIZE"));

  g.Props[0] = StateBlock(g.Color, g.FontColor, g.FontShadows, g.GradientPercent, g.GradientData,
                          g.Gradient, g.ImagePercent, g.GlowColor, g.GlowSize, g.Transparency);

  g.States = states;
  if (g.States < 2) {
    g.Props[1] = g.Props[0];
    return;
  }
  g.HotFontColor = v.Integer("HOTFONTCOLOR", 0);
  const char* hotShadowKeys[4] = {"HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
  for (int i = 0; i < 4; ++i) g.HotFontShadows[i] = v.Integer(hotShadowKeys[i], -1);
  g.HotGlowColor = ColorToRGB(v.Integer("HGCOL", 0xFFFFFF));
  g.HotGlowSize = static_cast<uint8_t>(v.Integer0("HGSIZE"));
  g.HotColor = v.Integer("HOTCOLOR", 0xFFFFFF);
  g.HotTransparency = v.Integer("HOTTRANSPARENCY", 0);
  g.HotGradientPercent = v.Integer("HOTGRADIENTPERCENT", 0);
  g.HotGradientData = v.String("HOTGRADIENTDATA", "");
  if (g.HotGradientData.size() >= 2)
    ParseGradientData(g.HotGradientData, g.HotGradient);
  else if (zeroShortGradient)
    g.HotGradientPercent = 0;
  g.HotImagePercent = v.Integer("HOTIMAGEPERCENT", 0);

  g.Props[1] = StateBlock(g.HotColor, g.HotFontColor, g.HotFontShadows, g.HotGradientPercent,
                          g.HotGradientData, g.HotGradient, g.HotImagePercent, g.HotGlowColor,
                          g.HotGlowSize, g.HotTransparency);
}

void ReadSection(const TSkinIni& ini, TSectionChains& chains, const std::string& name,
                 TsGeneralData& g) {
  const TSectionValues v(chains, name);
  g.ClassName = name;
  g.ParentClass = ini.ReadString(name, "PARENTCLASS", "");
  ReadSectionValues(v, v.Integer("STATES", 4), true, g);
}

// The values of a section that the manager's CommonSections add to the skin: the section's
// own text first, then the skin section its PARENTCLASS names (upper-cased), then the
// defaults. Glow sizes and margins read 0 when missing and take the parent's only for -1.
class TCommonSectionValues {
 public:
  TCommonSectionValues(const TSkinIni& common, const std::string& section, TSectionChains& skin,
                       const std::string* parent)
      : common_(common), section_(section), skin_(skin), parent_(parent) {}

  int Integer(const std::string& key, int defaultValue) const {
    int value = 0;
    const std::string* text = common_.FindValue(section_, key);
    if (text && TryParseSkinInteger(*text, value)) return value;
    return parent_ ? TSectionValues(skin_, *parent_).Integer(key, defaultValue) : defaultValue;
  }
  std::string String(const std::string& key, const std::string& defaultValue) const {
    if (const std::string* text = common_.FindValue(section_, key)) return *text;
    return parent_ ? TSectionValues(skin_, *parent_).String(key, defaultValue) : defaultValue;
  }
  bool Boolean(const std::string& key) const {
    const std::string value = UpperCase(String(key, "0"));
    return value == "1" || value == "TRUE";
  }
  int Integer0(const std::string& key) const {
    int value = 0;
    const std::string* text = common_.FindValue(section_, key);
    if (!text || !TryParseSkinInteger(*text, value)) value = 0;
    if (value != -1) return value;
    return parent_ ? TSectionValues(skin_, *parent_).Integer0(key) : 0;
  }

 private:
  const TSkinIni& common_;
  const std::string& section_;
  TSectionChains& skin_;
  const std::string* parent_;
};

// Sections of CommonSections that the skin does not have, added at the end of the table.
void AddCommonSections(const TSkinIni& common, TSectionChains& chains, TsSkinTables& tables) {
  const size_t skinSections = tables.Sections.size();
  for (const TSkinIni::TSection& section : common.Sections()) {
    if (SectionIndexOf(tables.Sections, section.Name) >= 0) continue;
    TsGeneralData g;
    g.ClassName = section.Name;
    const std::string* parentText = common.FindValue(section.Name, "PARENTCLASS");
    g.ParentClass = parentText ? UpperCase(*parentText) : "-1";
    const std::string* parent = nullptr;
    for (size_t i = 0; i < skinSections && !parent; ++i)
      if (UpperCase(tables.Sections[i].ClassName) == g.ParentClass)
        parent = &tables.Sections[i].ClassName;
    const TCommonSectionValues v(common, section.Name, chains, parent);
    ReadSectionValues(v, TSectionValues(chains, section.Name).Integer("STATES", 4), false, g);
    tables.Sections.push_back(std::move(g));
  }
}

// An integer kept as text in the skin; a value that is not an integer fails the load.
int StrictInteger(const TSkinIni& ini, const std::string& key, const std::string& defaultText) {
  const std::string text = ini.ReadString(kGlobalInfo, key, defaultText);
  int value = 0;
  if (!TryParseSkinInteger(text, value))
    BadValue(kGlobalInfo, key, text, "'" + text + "' is not a valid integer value");
  return value;
}

double ReadVersion(const std::string& text) {
  // "." is the separator whatever the system's locale says.
  const std::string t = Trim(text);
  double value = 0;
  const auto result = std::from_chars(t.data(), t.data() + t.size(), value);
  return result.ec == std::errc() && result.ptr == t.data() + t.size() ? value : 0;
}

void ReadSkinData(const TSkinIni& ini, TsSkinData& s) {
  auto i16 = [&](const char* key, int def) {
    return Narrow16(ini.ReadInteger(kGlobalInfo, key, def));
  };
  s.Version = ReadVersion(ini.ReadString(kGlobalInfo, "VERSION", "0"));
  s.Author = ini.ReadString(kGlobalInfo, "AUTHOR", "");
  s.Description = ini.ReadString(kGlobalInfo, "DESCRIPTION", "");
  s.BorderWidth = i16("BORDERWIDTH", 4);
  s.TitleHeight = i16("TITLEHEIGHT", 30);
  s.MaxHeight = i16("MAXHEIGHT", 0);
  s.FormOffset = i16("FORMOFFSET", 8);
  s.AlignOffset = i16("ALIGNOFFSET", 0);
  s.CenterOffset = i16("CENTEROFFSET", 0);
  s.BorderMode = i16("BORDERMODE", 0);
  s.Shadow1Color = ini.ReadInteger(kGlobalInfo, "SHADOW1COLOR", 0);
  s.Shadow1Offset = StrictInteger(ini, "SHADOW1OFFSET", "0");
  s.Shadow1Blur = StrictInteger(ini, "SHADOW1BLUR", "-1");
  s.Shadow1Transparency = StrictInteger(ini, "SHADOW1TRANSPARENCY", "0");
  s.BISpace = i16("BISPACE", 0);
  s.BIVAlign = i16("BIVALIGN", 0);
  s.BIRight = i16("BIRIGHT", 0);
  s.BILeft = i16("BILEFT", 0);
  s.BITop = i16("BITOP", 0);
  s.BorderColor = ini.ReadInteger(kGlobalInfo, "BORDERCOLOR", 0);
  s.BIKeepHue = i16("BIKEEPHUE", 0);
  s.BICloseGlow = StrictInteger(ini, "BICONCLOSEGLOW", "0");
  s.BICloseGlowMargin = StrictInteger(ini, "BICONCLOSEGLOWMARGIN", "0");
  s.BIMaxGlow = StrictInteger(ini, "BICONMAXGLOW", "0");
  s.BIMaxGlowMargin = StrictInteger(ini, "BICONMAXGLOWMARGIN", "0");
  s.BIMinGlow = StrictInteger(ini, "BICONMINGLOW", "0");
  s.BIMinGlowMargin = StrictInteger(ini, "BICONMINGLOWMARGIN", "0");
}

// The mask lookup of every section when a skin is read: the same answers as MaskIndexOf, with
// sections and masks found through indexes of their names instead of a scan per step.
class TMaskIndex {
 public:
  explicit TMaskIndex(const TsSkinTables& tables) : tables_(tables) {
    for (size_t i = 0; i < tables.Sections.size(); ++i)
      sections_.emplace(tables.Sections[i].ClassName, static_cast<int>(i));
    for (size_t i = 0; i < tables.Masks.size(); ++i)
      masks_.emplace(Key(tables.Masks[i].SectionName, tables.Masks[i].PropertyName),
                     static_cast<int>(i));
  }

  int Find(int sectionIndex, const std::string& sectionName, const std::string& property) const {
    const auto indexOf = [&](const std::string& name) {
      const auto found = sections_.find(name);
      return found == sections_.end() ? -1 : found->second;
    };
    return FindUpParents(tables_.Sections, sectionIndex, sectionName, indexOf,
                         [&](const std::string& name) {
                           const auto found = masks_.find(Key(name, property));
                           return found == masks_.end() ? -1 : found->second;
                         });
  }

 private:
  static std::string Key(const std::string& section, const std::string& property) {
    return section + '\0' + property;
  }

  const TsSkinTables& tables_;
  // The first of each name, as the scans find it (emplace keeps the first).
  std::unordered_map<std::string, int> sections_;
  std::unordered_map<std::string, int> masks_;
};

void ReadSections(const TSkinIni& ini, const TSkinIni* common, TsSkinTables& tables) {
  ReadSkinData(ini, tables.Skin);
  TSectionChains chains(ini);
  for (const TSkinIni::TSection& section : ini.Sections()) {
    tables.Sections.emplace_back();
    ReadSection(ini, chains, section.Name, tables.Sections.back());
  }
  if (common) AddCommonSections(*common, chains, tables);
  const TMaskIndex masks(tables);
  for (int i = 0; i < static_cast<int>(tables.Sections.size()); ++i) {
    TsGeneralData& g = tables.Sections[static_cast<size_t>(i)];
    if (g.ClassName == kGlobalInfo) continue;
    auto mask = [&](const char* property) { return masks.Find(i, g.ClassName, property); };
    g.BorderMaskIndex = mask("BORDERSMASK");
    g.ImgTopLeft = mask("IMGTOPLEFT");
    g.ImgTopRight = mask("IMGTOPRIGHT");
    g.ImgBtmLeft = mask("IMGBTMLEFT");
    g.ImgBtmRight = mask("IMGBTMRIGHT");
  }
}

// ---- hue and saturation -----------------------------------------------------------------------

// Every colour of the skin that recolouring changes, passed to one function.
template <class F>
void ForEachSkinColor(TsSkinTables& tables, F change) {
  auto ifSet = [&](TColor& c) {
    if (c != -1) c = change(c);
  };
  auto stops = [&](TsGradArray& gradient) {
    for (TsGradStop& stop : gradient) {
      stop.Color1 = change(stop.Color1);
      stop.Color2 = change(stop.Color2);
    }
  };
  for (TsGeneralData& g : tables.Sections) {
    g.Color = change(g.Color);
    g.HotColor = change(g.HotColor);
    g.GlowColor = change(g.GlowColor);
    g.HotGlowColor = change(g.HotGlowColor);
    ifSet(g.FontColor);
    ifSet(g.HotFontColor);
    for (TColor& c : g.FontShadows) ifSet(c);
    for (TColor& c : g.HotFontShadows) ifSet(c);
    stops(g.Gradient);
    stops(g.HotGradient);
    for (TsGenState& state : g.Props) {
      ifSet(state.Color);
      ifSet(state.GlowColor);
      ifSet(state.FontColor);
      ifSet(state.ShadowLeft);
      ifSet(state.ShadowTop);
      ifSet(state.ShadowRight);
      ifSet(state.ShadowBottom);
      // The state blocks carry copies of the section's gradients; they change alike.
      stops(state.Gradient);
    }
  }
  tables.Skin.Shadow1Color = change(tables.Skin.Shadow1Color);
  tables.Skin.BorderColor = change(tables.Skin.BorderColor);
}

int GlobalMask(const TsSkinTables& tables, const std::string& name) {
  for (size_t i = 0; i < tables.Masks.size(); ++i)
    if (tables.Masks[i].SectionName == kGlobalInfo && tables.Masks[i].PropertyName == name)
      return static_cast<int>(i);
  return -1;
}

// Copies of master-image areas, put back after the master image was recoloured.
struct TSavedArea {
  TRect Rect;
  std::vector<uint32_t> Pixels;
};

TSavedArea SaveArea(TBitmap& image, TRect r) {
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, image.Width());
  r.Bottom = std::min(r.Bottom, image.Height());
  TSavedArea area{r, {}};
  for (int y = r.Top; y < r.Bottom; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.ScanLine(y));
    area.Pixels.insert(area.Pixels.end(), row + r.Left, row + r.Right);
  }
  return area;
}

void RestoreArea(TBitmap& image, const TSavedArea& area) {
  const int width = area.Rect.Right - area.Rect.Left;
  size_t at = 0;
  for (int y = area.Rect.Top; y < area.Rect.Bottom; ++y, at += static_cast<size_t>(width)) {
    auto* row = reinterpret_cast<uint32_t*>(image.ScanLine(y));
    std::copy_n(area.Pixels.begin() + static_cast<ptrdiff_t>(at), width, row + area.Rect.Left);
  }
}

void ApplyHueOffset(TsSkinTables& tables, int hue) {
  std::vector<int> keptMasks;
  if (tables.Skin.BIKeepHue != 0) {
    std::vector<std::string> icons = {"BICONCLOSE", "SICONCLOSE"};
    if (tables.Skin.BIKeepHue == 1)
      icons.insert(icons.end(), {"BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "SICONMAX",
                                 "SICONMIN", "SICONNORM"});
    for (const std::string& icon : icons) {
      keptMasks.push_back(GlobalMask(tables, icon));
      keptMasks.push_back(GlobalMask(tables, icon + "GLOW0"));
    }
  }
  auto kept = [&](size_t i) {
    return std::find(keptMasks.begin(), keptMasks.end(), static_cast<int>(i)) != keptMasks.end();
  };
  if (tables.MasterImage && !tables.MasterImage->Empty()) {
    std::vector<TSavedArea> saved;
    for (size_t i = 0; i < tables.Masks.size(); ++i)
      if (kept(i) && !tables.Masks[i].Image)
        saved.push_back(SaveArea(*tables.MasterImage, tables.Masks[i].SourceRect));
    ShiftBitmapHue(tables.MasterImage.get(), hue);
    for (const TSavedArea& area : saved) RestoreArea(*tables.MasterImage, area);
  }
  for (size_t i = 0; i < tables.Masks.size(); ++i)
    if (tables.Masks[i].Image && !kept(i)) ShiftBitmapHue(tables.Masks[i].Image.get(), hue);
  ForEachSkinColor(tables, [hue](TColor c) { return ChangeColorHue(hue, c); });
}

void ApplySaturation(TsSkinTables& tables, int amount) {
  if (tables.MasterImage) ChangeBitmapSaturation(tables.MasterImage.get(), amount);
  for (TsMaskData& mask : tables.Masks)
    if (mask.Image) ChangeBitmapSaturation(mask.Image.get(), amount);
  ForEachSkinColor(tables, [amount](TColor c) { return ChangeColorSaturation(c, amount); });
}

}  // namespace

// ---- public -----------------------------------------------------------------------------------

void CheckSkinIniText(const std::string& text, const std::string& name) {
  if (static_cast<int64_t>(text.size()) > kMaxSkinIniSize)
    throw ESkinLoadError("Skin file " + name + " is larger than " + IntToStr(kMaxSkinIniSize) +
                         " bytes");
  size_t lineStart = 0;
  int lineNumber = 1;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    if (i - lineStart > static_cast<size_t>(TSkinLimits::MaxLineLength))
      throw ESkinLoadError("Skin file " + name + ": line " + IntToStr(lineNumber) +
                           " is longer than " + IntToStr(TSkinLimits::MaxLineLength) +
                           " characters");
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
    lineStart = i + 1;
    ++lineNumber;
  }
}

void ReadSkinTables(const TSkinIni& ini, const ISkinImageSource& images,
                    const TSkinReadSettings& settings, TsSkinTables& tables) {
  if (ini.Sections().size() > static_cast<size_t>(TSkinLimits::MaxSections))
    throw ESkinLoadError("The skin has " + IntToStr(static_cast<int>(ini.Sections().size())) +
                         " sections; at most " + IntToStr(TSkinLimits::MaxSections) +
                         " are allowed");
  std::unique_ptr<TSkinIni> common;
  if (settings.CommonSections && !settings.CommonSections->empty() && settings.DiskImages) {
    common = std::make_unique<TSkinIni>();
    common->SetLines(*settings.CommonSections);
  }
  ReadMasks(ini, images, settings.Manager, tables);
  if (common) ReadCommonMasks(*common, *settings.DiskImages, settings.Manager, tables);
  ReadPatterns(ini, images, settings.Manager, tables);
  if (common) ReadCommonPatterns(*common, *settings.DiskImages, tables);
  ReadSections(ini, common.get(), tables);
  if (settings.HueOffset != 0) ApplyHueOffset(tables, settings.HueOffset);
  const int saturation = settings.Saturation % 101;
  if (saturation != 0) ApplySaturation(tables, saturation);
}

int SectionIndexOf(const TsGeneralDataArray& sections, const std::string& name) {
  for (size_t i = 0; i < sections.size(); ++i)
    if (sections[i].ClassName == name) return static_cast<int>(i);
  return -1;
}

int MaskIndexOf(const TsGeneralDataArray& sections, const TsMaskArray& masks, int sectionIndex,
                const std::string& sectionName, const std::string& propertyName,
                TMaskFilter filter) {
  const auto indexOf = [&](const std::string& name) { return SectionIndexOf(sections, name); };
  return FindUpParents(sections, sectionIndex, sectionName, indexOf, [&](const std::string& name) {
    for (size_t i = 0; i < masks.size(); ++i)
      if ((filter == TMaskFilter::All || masks[i].MaskKind == mkTexture) &&
          masks[i].SectionName == name && masks[i].PropertyName == propertyName)
        return static_cast<int>(i);
    return -1;
  });
}

int PatternIndexOf(const TsGeneralDataArray& sections, const TsPatternArray& patterns,
                   int sectionIndex, const std::string& sectionName,
                   const std::string& propertyName) {
  const auto indexOf = [&](const std::string& name) { return SectionIndexOf(sections, name); };
  return FindUpParents(sections, sectionIndex, sectionName, indexOf, [&](const std::string& name) {
    for (size_t i = 0; i < patterns.size(); ++i)
      if (patterns[i].SectionName == name && patterns[i].PropertyName == propertyName)
        return static_cast<int>(i);
    return -1;
  });
}
