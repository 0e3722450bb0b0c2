// Message texts of the PNG object and its chunks.
#pragma once

#include <string>

extern const char* const EPngInvalidCRCText;
extern const char* const EPNGInvalidIHDRText;
extern const char* const EPNGMissingMultipleIDATText;
extern const char* const EPNGZLIBErrorText;
extern const char* const EPNGInvalidPaletteText;
extern const char* const EPNGInvalidFileHeaderText;
extern const char* const EPNGIHDRNotFirstText;
extern const char* const EPNGSizeExceedsText;
extern const char* const EPNGUnknownPalEntryText;
extern const char* const EPNGUnknownCriticalChunkText;
extern const char* const EPNGUnknownCompressionText;
extern const char* const EPNGUnknownInterlaceText;
extern const char* const EPNGCannotAssignChunkText;
extern const char* const EPNGUnexpectedEndText;
extern const char* const EPNGNoImageDataText;
extern const char* const EPNGCannotChangeSizeText;
extern const char* const EPNGOutMemoryText;
extern const char* const EPNGHeaderNotPresentText;

// The zlib text for a result code: "data error (-3)" and so on; "" for unknown codes.
std::string ZLibErrorText(int code);
