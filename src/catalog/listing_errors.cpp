// listing_errors.cpp — reporting (or not) a failed listing step.
#include "catalog/listing_errors.h"

#include "config/settings.h"
#include "host/messages.h"
#include "oracle/lost_connection.h"
#include "oracle/oracle_error.h"

namespace catalog {

void HandleListingError(const panel::FindDataRequest& request, const std::exception_ptr& error,
                        const std::string& prefix) {
  if (request.Searching() || !error) return;
  try {
    std::rethrow_exception(error);
  } catch (const oracle::EOracleError& e) {
    if (e.ErrorCode() == 942) {
      // Listings that run many counts over such views mark the first report.
      if (config::CurrentSwitches().ignoreOraErrors || request.missingViewReported) return;
    }
    // The session is gone: every later step of the same listing fails too.
    if (oracle::IsLostConnection(e.ErrorCode())) {
      if (request.connectionLossReported) return;
      request.connectionLossReported = true;
    }
    host::ShowErrorMessage(prefix + e.what());
  } catch (const std::exception& e) {
    host::ShowErrorMessage(prefix + e.what());
  } catch (...) {
    host::ShowErrorMessage(prefix + "Unknown error");
  }
}

}  // namespace catalog
