// Points, rectangles, sizes and small sets: the plain value types every unit shares.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// Four 32-bit edges in the order of the Win32 RECT, so a TRect* may be handed to the API
// as a RECT* (see the static_assert in the Win32 units). Right and Bottom are exclusive.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

static_assert(sizeof(TRect) == 16 && sizeof(TPoint) == 8, "TRect and TPoint match RECT and POINT");

constexpr TPoint Point(int32_t x, int32_t y) { return {x, y}; }
constexpr TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {left, top, right, bottom};
}
constexpr TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return {left, top, left + width, top + height};
}

// A set of the values of an enumeration with at most 64 members (the dialect's `set of`).
//   using TFontStyles = TSet<TFontStyle>;
//   TFontStyles s{fsBold, fsItalic};  if (s.Contains(fsBold)) s -= fsBold;
template <class E>
class TSet {
  static_assert(std::is_enum_v<E>);

 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  static constexpr TSet FromBits(uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr uint64_t Bits() const { return bits_; }

  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }

  constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }
  constexpr TSet operator+(E e) const { return FromBits(bits_ | Bit(e)); }
  constexpr TSet operator-(E e) const { return FromBits(bits_ & ~Bit(e)); }
  constexpr TSet& operator+=(TSet o) {
    bits_ |= o.bits_;
    return *this;
  }
  constexpr TSet& operator-=(TSet o) {
    bits_ &= ~o.bits_;
    return *this;
  }
  constexpr TSet& operator*=(TSet o) {
    bits_ &= o.bits_;
    return *this;
  }
  constexpr TSet& operator+=(E e) { return Include(e); }
  constexpr TSet& operator-=(E e) { return Exclude(e); }
  friend constexpr bool operator==(TSet, TSet) = default;
  // a <= b: every member of a is in b.
  constexpr bool operator<=(TSet o) const { return (bits_ & ~o.bits_) == 0; }

 private:
  static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
  uint64_t bits_ = 0;
};

// Keyboard and mouse modifiers of a key or mouse event.
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

// Which scroll bars a control shows (memos and the editor's portable core use it).
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
