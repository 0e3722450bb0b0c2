// Without windows there is no banner to show.
#include "web/inetcore.h"

void TinetCore::ShowOwnAboutBox() {}
