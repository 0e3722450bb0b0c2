#include "framework/SysUtils.h"
