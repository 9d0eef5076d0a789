// Entry points that the client-library loader looks up but the stand-in does
// not offer (LOB, object, collection, direct path, piecewise polling ...).
// They exist so the groups resolve, and answer ORA-03001 "unimplemented
// feature" with OCI_ERROR. Their real signatures differ; every one of them
// takes its error handle among the first three arguments, which is all a stub
// reads, and only after the registry has confirmed it is a live error handle.
#include "exports.h"
#include "handles.h"
#include "ora_error.h"

using namespace ocisim;

namespace {

sword Unimplemented(void* a, void* b, void* c) {
  for (void* p : {a, b, c})
    if (auto* err = Find<ErrorH>(p, OCI_HTYPE_ERROR)) {
      err->records = {ErrorRecord{3001, OraMessage(3001)}};
      break;
    }
  return OCI_ERROR;
}

}  // namespace

#define OCISIM_STUB(decl, name) \
  extern "C" decl sword name(void* a, void* b, void* c) { return Unimplemented(a, b, c); }
#define STUB8(name) OCISIM_STUB(OCISIM_DECL8, name)
#define STUB7(name) OCISIM_STUB(OCISIM_DECL7, name)

// OCI7
STUB7(odessp)

// OCI8 calls outside what the stand-in implements.
STUB8(OCIPasswordChange)
STUB8(OCIBindObject)
STUB8(OCIBindDynamic)
STUB8(OCIStmtGetPieceInfo)
STUB8(OCIStmtSetPieceInfo)
STUB8(OCIDefineObject)
STUB8(OCIStmtGetBindInfo)
#ifndef OCISIM_MISSING_ONE_OCI8
// The loader-test variant lacks exactly this one name of the OCI8 group.
STUB8(OCIDescribeAny)
#endif
STUB8(OCIParamSet)
STUB8(OCITransDetach)
STUB8(OCITransPrepare)
STUB8(OCITransForget)
STUB8(OCILobAppend)
STUB8(OCILobAssign)
STUB8(OCILobCharSetForm)
STUB8(OCILobCharSetId)
STUB8(OCILobCopy)
STUB8(OCILobDisableBuffering)
STUB8(OCILobEnableBuffering)
STUB8(OCILobErase)
STUB8(OCILobFileClose)
STUB8(OCILobFileCloseAll)
STUB8(OCILobFileExists)
STUB8(OCILobFileGetName)
STUB8(OCILobFileIsOpen)
STUB8(OCILobFileOpen)
STUB8(OCILobFileSetName)
STUB8(OCILobFlushBuffer)
STUB8(OCILobGetLength)
STUB8(OCILobIsEqual)
STUB8(OCILobLoadFromFile)
STUB8(OCILobLocatorIsInit)
STUB8(OCILobRead)
STUB8(OCILobTrim)
STUB8(OCILobWrite)
STUB8(OCIResultSetToStmt)
STUB8(OCIObjectUnpin)
STUB8(OCIObjectLock)
STUB8(OCIObjectMarkUpdate)
STUB8(OCIObjectUnmark)
STUB8(OCIObjectMarkDelete)
STUB8(OCIObjectFlush)
STUB8(OCIObjectCopy)
STUB8(OCIObjectGetTypeRef)
STUB8(OCIObjectGetObjectRef)
STUB8(OCIObjectGetInd)
STUB8(OCIObjectExists)
STUB8(OCIObjectIsLocked)
STUB8(OCIObjectIsDirty)
STUB8(OCIObjectRefresh)
STUB8(OCIObjectPinTable)
STUB8(OCIObjectNew)
STUB8(OCIObjectPin)
STUB8(OCIObjectFree)
STUB8(OCITypeByName)
STUB8(OCIObjectGetAttr)
STUB8(OCIObjectSetAttr)
STUB8(OCIStringPtr)
STUB8(OCIStringAssignText)
STUB8(OCINumberFromInt)
STUB8(OCINumberToInt)
STUB8(OCINumberFromReal)
STUB8(OCINumberToReal)
STUB8(OCINumberToText)
STUB8(OCINumberFromText)
STUB8(OCIRawPtr)
STUB8(OCIRawSize)
STUB8(OCIRawAssignBytes)
STUB8(OCIRefAssign)
STUB8(OCIRefClear)
STUB8(OCIRefIsNull)
STUB8(OCIRefFromHex)
STUB8(OCIRefHexSize)
STUB8(OCIRefToHex)
STUB8(OCICollSize)
STUB8(OCICollTrim)
STUB8(OCICollMax)
STUB8(OCICollGetElem)
STUB8(OCICollAssignElem)
STUB8(OCICollAppend)
STUB8(OCITableDelete)
STUB8(OCICacheFlush)

// OCI8 error texts.
STUB8(ociepgoe)
STUB8(ociepmsg)

// OCI 8.1 direct path.
STUB8(OCIDirPathAbort)
STUB8(OCIDirPathFinish)
STUB8(OCIDirPathPrepare)
STUB8(OCIDirPathColArrayEntrySet)
STUB8(OCIDirPathColArrayToStream)
STUB8(OCIDirPathLoadStream)
STUB8(OCIDirPathStreamReset)
