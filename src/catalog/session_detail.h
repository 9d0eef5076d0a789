// session_detail.h — one database session and its details, for any tree
// that lists sessions named "SID.SERIAL#" (the instance's session list, a
// user's sessions).
#pragma once

#include <cstddef>
#include <string>

#include "catalog/listing_context.h"

namespace catalog {

// Lists the session named by path level `level` and the levels below it.
// A name that is not "SID.SERIAL#" lists nothing.
void ListSessionDetail(Listing& l, std::size_t level);

// The record of one audit trail entry named "SESSIONID.ENTRYID", with the
// comments of DBA_AUDIT_TRAIL (shared with the audit options tree).
void ListAuditEntry(Listing& l, const std::string& entry);

}  // namespace catalog
