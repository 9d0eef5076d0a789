// What the OCI8 side needs from the OCI7 side: turning a logged-on service
// context into a logon data area (OCISvcCtxToLda) and back.
#pragma once

#include "handles.h"

namespace ocisim {

// Makes `lda` an OCI7 logon data area that uses the service context's session.
void AdoptLda(Lda_Def* lda, SvcCtxH* svc);
// Forgets the logon data area; returns the service context it came from, or nullptr.
SvcCtxH* ReleaseLda(Lda_Def* lda);

}  // namespace ocisim
