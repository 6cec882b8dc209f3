// The steps the product-level and feature-level prerequisite actions share.
#pragma once

#include "host/ActionContext.h"

#include <string>
#include <vector>

// Reads and logs the "passed" value at passedKey: true when it is exactly
// "true" (logs "isallpassed = ...").
bool allPassed(IActionContext& host, const std::wstring& passedKey);

// Reads and logs the identifier list at idsKey ("prereqids: ...") and
// returns its non-empty ";"-separated pieces.
std::vector<std::wstring> prerequisiteIds(IActionContext& host, const std::wstring& idsKey);

// Examines one prerequisite whose values lie at key + "$passed" and
// key + "$type", logging "curprereqid: ", "ispassed: " and "prereqtype: ":
// true when it failed ("false") and is of type "error".
bool failedBlocking(IActionContext& host, const std::wstring& id, const std::wstring& key);
