#include "imaging/Jpeg.h"

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs FILE and size_t from the headers above.
#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return. It
// jumps back to the decoding function instead of throwing, because a C++
// exception cannot travel through the library's C frames.
struct TJpegErrorManager {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<TJpegErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->Message);
  std::longjmp(errors->Jump, 1);
}

// Warnings (a damaged but readable file) go nowhere: the image is shown as far as it reads.
void JpegIgnoreMessage(j_common_ptr) {}

// The pixel values of a CMYK or YCCK file as red, green and blue. Files written
// with an Adobe marker store the inks inverted.
void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    bgr[0] = static_cast<uint8_t>(y * k / 255);
    bgr[1] = static_cast<uint8_t>(m * k / 255);
    bgr[2] = static_cast<uint8_t>(c * k / 255);
  }
}

// Decodes into a pf24bit bitmap. Returns an empty string on success, else the
// library's message. The caller's objects live outside the jump's reach.
std::string DecodeJpeg(const std::vector<uint8_t>& data, TBitmap& target) {
  jpeg_decompress_struct info;
  TJpegErrorManager errors;
  info.err = jpeg_std_error(&errors.Manager);
  errors.Manager.error_exit = JpegErrorExit;
  errors.Manager.output_message = JpegIgnoreMessage;
  if (setjmp(errors.Jump)) {
    jpeg_destroy_decompress(&info);
    return errors.Message[0] ? std::string(errors.Message) : std::string("Invalid JPEG data");
  }
  jpeg_create_decompress(&info);
  try {
    jpeg_mem_src(&info, const_cast<unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&info);

    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    target.SetSize(0, 0);
    target.SetPixelFormat(pf24bit);
    target.SetSize(width, height);
    // The CMYK row lives in the library's pool and goes with jpeg_destroy.
    JSAMPARRAY cmykRow = cmyk ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info),
                                                          JPOOL_IMAGE, info.output_width * 4, 1)
                              : nullptr;
    while (info.output_scanline < info.output_height) {
      const int y = static_cast<int>(info.output_scanline);
      JSAMPROW row = cmyk ? cmykRow[0] : target.ScanLine(y);
      jpeg_read_scanlines(&info, &row, 1);
      if (cmyk) CmykRowToBgr(cmykRow[0], target.ScanLine(y), width, info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&info);
  } catch (...) {
    jpeg_destroy_decompress(&info);
    throw;
  }
  jpeg_destroy_decompress(&info);
  return std::string();
}

}  // namespace

void RegisterJPEGImage() {
  TPicture::RegisterFileFormat("jpg", "JPEG Image File", TJPEGImage::StaticClassInfo());
  TPicture::RegisterFileFormat("jpeg", "JPEG Image File", TJPEGImage::StaticClassInfo());
}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetWidth(int) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

TBitmap* TJPEGImage::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return bitmap_.get();
}

void TJPEGImage::Decode() {
  auto decoded = std::make_unique<TBitmap>();
  std::string error;
  try {
    error = DecodeJpeg(data_, *decoded);
  } catch (...) {
    // Such as a size in the header too large for memory: nothing of the file is kept.
    data_.clear();
    bitmap_.reset();
    Changed(this);
    throw;
  }
  if (!error.empty()) {
    data_.clear();
    bitmap_.reset();
    Changed(this);
    throw EInvalidGraphic("JPEG error: " + error);
  }
  bitmap_ = std::move(decoded);
  Changed(this);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  const int64_t size = stream.Size() - stream.Position();
  std::vector<uint8_t> data(static_cast<size_t>(size > 0 ? size : 0));
  if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  data_ = std::move(data);
  Decode();
}

void TJPEGImage::SaveToStream(TStream& stream) {
  if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TJPEGImage::Assign(TPersistent* source) {
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(source)) {
    if (jpeg == this) return;
    data_ = jpeg->data_;
    if (jpeg->bitmap_) {
      Bitmap()->Assign(jpeg->bitmap_.get());
      Changed(this);
    } else {
      bitmap_.reset();
      Changed(this);
    }
    return;
  }
  TGraphic::Assign(source);
}

void TJPEGImage::AssignTo(TPersistent* dest) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
    bitmap->Assign(Bitmap());
    return;
  }
  TGraphic::AssignTo(dest);
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r) {
  if (bitmap_) bitmap_->Draw(canvas, r);
}
