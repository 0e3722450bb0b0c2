// The lead bytes of the Shift-JIS code page (932), so that the double-byte
// rules can be tested on any machine.
#pragma once

#include "editor/KedEditMiscProcs.h"

inline TKedLeadByteTable ShiftJisLeadBytes() {
  TKedLeadByteTable table;
  table.FarEast = true;
  for (int c = 0x81; c <= 0x9F; ++c) table.LeadBytes.set(c);
  for (int c = 0xE0; c <= 0xFC; ++c) table.LeadBytes.set(c);
  return table;
}
