// users_family.h — the "Users" tree: users with their objects, roles,
// privileges, quotas, audit entries and sessions; roles; profiles; resource
// consumer groups; the users of the password file.
#pragma once

#include "catalog/listing_context.h"

namespace catalog {

void ListUsers(Listing& listing);

}  // namespace catalog
