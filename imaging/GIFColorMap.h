// Colour tables of a GIF image: the header's global map and each frame's local map.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"

class TGIFImage;
class TGIFSubImage;

// Red in the lowest byte, then green, then blue: the order of a TColor.
struct TGIFColor {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  friend constexpr bool operator==(const TGIFColor&, const TGIFColor&) = default;
};

constexpr TGIFColor ColorToTriple(TColor c) { return {ColorR(c), ColorG(c), ColorB(c)}; }
constexpr TColor TripleToColor(TGIFColor t) { return MakeColor(t.Red, t.Green, t.Blue); }

class TGIFColorMap : public TPersistent {
  K_CLASS(TGIFColorMap, TPersistent)
  TGIFColorMap() = default;
  ~TGIFColorMap() override = default;

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value) { sorted_ = value; }

  void ClearEntries();
  void GrowCapacity(int n);
  void WriteEntries(TStream& stream) const;
  // Raises "Premature end of data" when the stream holds fewer than 3 x n bytes.
  void ReadEntries(TStream& stream, int n);
  int IndexBitCount() const;
  int IndexOfColor(TColor color) const;
  int AppendColor(TColor color);
  int FindOrAppendColor(TColor color);
  void RemoveColor(int index);
  TColor ColorAt(int index);
  const TGIFColor& Entry(int index) const { return entries_[static_cast<size_t>(index)]; }
  void SetEntry(int index, TColor color);
  void CopyFromPalette(const TColorTable& palette);
  void CopyFromRGBQuads(const TRGBQuad* quads, int n);
  // The map as a colour table for drawing; empty when the map is empty.
  TColorTable MakePalette() const;
  void Assign(TPersistent* source) override;

  // Orders the entries by how often the covered frames use them; answers whether anything
  // was attempted.
  bool SortByUsage();
  virtual bool OptimizeOrder() { return SortByUsage(); }

 protected:
  virtual void Warning(const std::string& message);
  virtual TGIFImage* OwnerImage() const = 0;
  // Frames whose pixels index this map.
  virtual std::vector<TGIFSubImage*> CoveredFrames() const = 0;
  virtual void NotifyChanged() = 0;

 private:
  std::vector<TGIFColor> entries_;  // Capacity entries
  int count_ = 0;
  int capacity_ = 0;
  bool sorted_ = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
  K_CLASS(TGIFGlobalColorMap, TGIFColorMap)
  explicit TGIFGlobalColorMap(TGIFImage* image = nullptr) : image_(image) {}
  bool OptimizeOrder() override;

 protected:
  TGIFImage* OwnerImage() const override { return image_; }
  std::vector<TGIFSubImage*> CoveredFrames() const override;
  void NotifyChanged() override;

 private:
  TGIFImage* image_;
};

class TGIFLocalColorMap : public TGIFColorMap {
  K_CLASS(TGIFLocalColorMap, TGIFColorMap)
  explicit TGIFLocalColorMap(TGIFSubImage* frame = nullptr) : frame_(frame) {}

 protected:
  TGIFImage* OwnerImage() const override;
  std::vector<TGIFSubImage*> CoveredFrames() const override;
  void NotifyChanged() override;

 private:
  TGIFSubImage* frame_;
};

// Bits needed to index `count` colours: 0 for 0, 1 for 1-2, 2 for 3-4, ... 8 for 129-256.
int BitsForColorCount(int count);
