#include "translate/KxComponentBase.h"
