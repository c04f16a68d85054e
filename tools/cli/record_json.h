// Software records as JSON for --json: every member under its record name, the files,
// dependences, configuration entries and patches as arrays.
#pragma once

#include <list>
#include <set>

#include "json_output.h"
#include "webinteractive/records.h"

namespace cli {

json::Value SoftIdJson(const ISoftInfoInc::_SoftID& id);
json::Value SoftInfoJson(const ISoftInfoInc::_SoftInfo& soft);
json::Value SoftInfoListJson(const std::list<ISoftInfoInc::_SoftInfo>& softs);
json::Value ConfInfoJson(const IConfInfoInc::_ConfInfo& entry);

}  // namespace cli
