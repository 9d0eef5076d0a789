// listing_errors.cpp — reporting (or not) a failed listing step.
#include "catalog/listing_errors.h"

#include "config/settings.h"
#include "host/messages.h"
#include "oracle/oracle_error.h"

namespace catalog {

void HandleListingError(const panel::FindDataRequest& request, const std::exception_ptr& error,
                        const std::string& prefix) {
  if (request.Searching() || !error) return;
  try {
    std::rethrow_exception(error);
  } catch (const oracle::EOracleError& e) {
    if (e.ErrorCode() == 942 && config::CurrentSwitches().ignoreOraErrors) return;
    host::ShowErrorMessage(prefix + e.what());
  } catch (const std::exception& e) {
    host::ShowErrorMessage(prefix + e.what());
  } catch (...) {
    host::ShowErrorMessage(prefix + "Unknown error");
  }
}

}  // namespace catalog
