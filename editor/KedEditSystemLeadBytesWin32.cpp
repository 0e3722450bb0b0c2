// The lead bytes of the system's ANSI code page, as Windows reports them.
#include "editor/KedEditMiscProcs.h"

#include <windows.h>

TKedLeadByteTable KedSystemLeadBytes() {
  TKedLeadByteTable table;
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize < 2) return table;
  // LeadByte holds pairs of inclusive ranges, ended by a pair of zeros.
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
    for (int c = info.LeadByte[i]; c <= info.LeadByte[i + 1]; ++c) table.LeadBytes.set(c);
  table.FarEast = table.LeadBytes.any();
  return table;
}
