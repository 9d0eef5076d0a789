// listing_errors.cpp — reporting (or not) a failed listing step.
#include "catalog/listing_errors.h"

#include "config/settings.h"
#include "host/messages.h"
#include "oracle/oracle_error.h"

namespace catalog {
namespace {

// Oracle errors that mean the session is gone: every later step of the
// same listing fails with them too.
constexpr int kConnectionLost[] = {28, 1012, 1041, 1092, 3113, 3114, 3135};

bool ConnectionLost(int code) {
  for (int c : kConnectionLost)
    if (c == code) return true;
  return false;
}

}  // namespace

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
    if (ConnectionLost(e.ErrorCode())) {
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
