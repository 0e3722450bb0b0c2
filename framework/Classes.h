// The portable component framework in one include: the class tree and published
// properties (System, TypInfo), events, TPersistent/TComponent, TList, string lists,
// collections, streams, threads and shortcuts.
#pragma once

#include "framework/Collection.h"
#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Lists.h"
#include "framework/ShortCuts.h"
#include "framework/Streams.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"
#include "framework/System.h"
#include "framework/Thread.h"
#include "framework/TypInfo.h"
#include "framework/Types.h"
