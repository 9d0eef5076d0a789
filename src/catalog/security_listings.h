// security_listings.h — the pieces of the "Users" tree that users and roles
// share (granted roles and system privileges, the object privilege chain,
// all object privileges) and the two detail directories themselves.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "catalog/detail_counts.h"
#include "catalog/listing_context.h"

namespace catalog {

// The item shapes of the user and role lists: directories or files named by
// the first column, the rest as custom columns, no dates.
inline ItemColumns SecurityDirs(std::vector<std::string> columns) { return {std::move(columns), true, "", "", ""}; }
inline ItemColumns SecurityFiles(std::vector<std::string> columns) { return {std::move(columns), false, "", "", ""}; }

// The columns of a consumer group list: name, status, mandatory flag, CPU
// method and the description (the view's COMMENTS).
const std::vector<std::string>& ConsumerGroupColumns();

// The user detail at `level` (the user's name), with everything below it.
void ListUserTree(Listing& l, const std::string& user);

// The role detail: level 4 is the role, level 5 and below its details.
void ListRoleTree(Listing& l, const std::string& role);

// ".OBJECT PRIVILEGES" of grantee `grantee`, whose chain starts at path
// level `base` + 1 (the level after ".OBJECT PRIVILEGES").
void ListObjectPrivilegeChain(Listing& l, const std::string& grantee, std::size_t base);

// ".ALL OBJECT PRIVS" of `grantee`: direct and through roles.
void ListAllObjectPrivileges(Listing& l, const std::string& grantee);

}  // namespace catalog
