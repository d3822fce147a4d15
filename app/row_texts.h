// What the report list says of a row beyond its cells' own words: the Status cell in the
// interface language, the tooltip and the details a user copies.
#pragma once

#include <string>

#include "engine/views/result_record.h"

namespace brenvik {

// An interface text of the given language as UTF-16, for the list view's wide texts.
std::wstring WideUiText(const char* text, int language);

// The Status cell: "Skipped" for a finding Fix left alone and "Ignored" for one on the ignore
// list, in the interface language; every other result in StatusCell's words.
std::wstring RowStatusText(const ResultRecord& record, int language);

// The object (path or key), then the rule and the id each on a labelled line when the row has
// them; a place that was not examined gives its path and why.
std::wstring RowTipText(const ResultRecord& record, int language);

// Location, path, rule, site, target, arguments, status and id, one "name: value" line each.
std::wstring RowDetailsText(const ResultRecord& record, int language);

}  // namespace brenvik
