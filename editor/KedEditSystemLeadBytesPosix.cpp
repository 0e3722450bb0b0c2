// Elsewhere the program's texts use a single-byte code page: no lead bytes.
#include "editor/KedEditMiscProcs.h"

TKedLeadByteTable KedSystemLeadBytes() { return TKedLeadByteTable(); }
