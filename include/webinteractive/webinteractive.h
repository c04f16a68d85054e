/// @file
/// Everything a host compiles against.
#pragma once

#include "webinteractive/FileOperator.h"
#include "webinteractive/documents.h"
#include "webinteractive/frame.h"
#include "webinteractive/host.h"
#include "webinteractive/lists.h"
#include "webinteractive/log.h"
#include "webinteractive/records.h"
#include "webinteractive/repair.h"
#include "webinteractive/status.h"
#include "webinteractive/store.h"
#include "webinteractive/transfer.h"
#include "webinteractive/userinfo.h"
#include "webinteractive/version.h"
