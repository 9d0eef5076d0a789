// oci_entry_points.cpp — the table of client-library entry points by group.
//
// Every name the loader looks up is listed here once, in lookup order.  Names
// we call carry the offset of their typed pointer in oci::OciApi; the others
// only take part in the group check (a library without one of them is not
// the library we expect for that group).
#include "oracle/oci_entry_points.h"

#include <cstring>
#include <iterator>

namespace oracle {
namespace {

constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);

struct EntryName {
  const char* name;
  std::size_t slot;
};

#define SLOT(fn) {#fn, offsetof(oci::OciApi, fn)}
#define NAME(fn) {#fn, kNoSlot}

const EntryName kOci7Calls[] = {
    SLOT(orlon), SLOT(ologof), SLOT(oerhms), SLOT(oopen), SLOT(oparse), SLOT(odefin),
    SLOT(oexfet), SLOT(ofen),  SLOT(oflng),  SLOT(oclose), SLOT(odescr), SLOT(oexec),
    SLOT(oexn),  SLOT(ocom),   SLOT(orol),   SLOT(ocon),  NAME(ocof),   NAME(obreak),
    SLOT(obndra), NAME(odessp)};

const EntryName kOci7Logon[] = {SLOT(olog)};
const EntryName kOci7ProcessInit[] = {SLOT(opinit)};

const EntryName kOci8Calls[] = {
    SLOT(OCIInitialize), SLOT(OCIHandleAlloc), SLOT(OCIHandleFree), NAME(OCIDescriptorAlloc),
    SLOT(OCIDescriptorFree), SLOT(OCIEnvInit), SLOT(OCIServerAttach), SLOT(OCIServerDetach),
    SLOT(OCISessionBegin), SLOT(OCISessionEnd), NAME(OCILogon), NAME(OCILogoff),
    NAME(OCIPasswordChange), SLOT(OCIStmtPrepare), NAME(OCIBindByPos), SLOT(OCIBindByName),
    NAME(OCIBindObject), NAME(OCIBindDynamic), NAME(OCIBindArrayOfStruct),
    NAME(OCIStmtGetPieceInfo), NAME(OCIStmtSetPieceInfo), SLOT(OCIStmtExecute),
    SLOT(OCIDefineByPos), NAME(OCIDefineObject), SLOT(OCIDefineDynamic),
    NAME(OCIDefineArrayOfStruct), SLOT(OCIStmtFetch), NAME(OCIStmtGetBindInfo),
    NAME(OCIDescribeAny), SLOT(OCIParamGet), NAME(OCIParamSet), NAME(OCITransStart),
    NAME(OCITransDetach), SLOT(OCITransCommit), SLOT(OCITransRollback), NAME(OCITransPrepare),
    NAME(OCITransForget), SLOT(OCIErrorGet),
    // LOB calls
    NAME(OCILobAppend), NAME(OCILobAssign), NAME(OCILobCharSetForm), NAME(OCILobCharSetId),
    NAME(OCILobCopy), NAME(OCILobDisableBuffering), NAME(OCILobEnableBuffering),
    NAME(OCILobErase), NAME(OCILobFileClose), NAME(OCILobFileCloseAll), NAME(OCILobFileExists),
    NAME(OCILobFileGetName), NAME(OCILobFileIsOpen), NAME(OCILobFileOpen),
    NAME(OCILobFileSetName), NAME(OCILobFlushBuffer), NAME(OCILobGetLength),
    NAME(OCILobIsEqual), NAME(OCILobLoadFromFile), NAME(OCILobLocatorIsInit), NAME(OCILobRead),
    NAME(OCILobTrim), NAME(OCILobWrite),
    NAME(OCIBreak), SLOT(OCIServerVersion), SLOT(OCIAttrGet), SLOT(OCIAttrSet),
    SLOT(OCISvcCtxToLda), SLOT(OCILdaToSvcCtx), NAME(OCIResultSetToStmt),
    // object calls
    NAME(OCIObjectUnpin), NAME(OCIObjectLock), NAME(OCIObjectMarkUpdate), NAME(OCIObjectUnmark),
    NAME(OCIObjectMarkDelete), NAME(OCIObjectFlush), NAME(OCIObjectCopy),
    NAME(OCIObjectGetTypeRef), NAME(OCIObjectGetObjectRef), NAME(OCIObjectGetInd),
    NAME(OCIObjectExists), NAME(OCIObjectIsLocked), NAME(OCIObjectIsDirty),
    NAME(OCIObjectRefresh), NAME(OCIObjectPinTable), NAME(OCIObjectNew), NAME(OCIObjectPin),
    NAME(OCIObjectFree), NAME(OCITypeByName), NAME(OCIObjectGetAttr), NAME(OCIObjectSetAttr),
    // string, number and raw calls
    NAME(OCIStringPtr), NAME(OCIStringAssignText), NAME(OCINumberFromInt), NAME(OCINumberToInt),
    NAME(OCINumberFromReal), NAME(OCINumberToReal), NAME(OCINumberToText),
    NAME(OCINumberFromText), NAME(OCIRawPtr), NAME(OCIRawSize), NAME(OCIRawAssignBytes),
    // reference calls
    NAME(OCIRefAssign), NAME(OCIRefClear), NAME(OCIRefIsNull), NAME(OCIRefFromHex),
    NAME(OCIRefHexSize), NAME(OCIRefToHex),
    // collection calls
    NAME(OCICollSize), NAME(OCICollTrim), NAME(OCICollMax), NAME(OCICollGetElem),
    NAME(OCICollAssignElem), NAME(OCICollAppend), NAME(OCITableDelete),
    NAME(OCICacheFlush)};

const EntryName kOci8ErrorTexts[] = {NAME(ociepgoe), NAME(ociepmsg)};

const EntryName kOci81Calls[] = {
    SLOT(OCIEnvCreate), NAME(OCIDirPathAbort), NAME(OCIDirPathFinish), NAME(OCIDirPathPrepare),
    NAME(OCIDirPathColArrayEntrySet), NAME(OCIDirPathColArrayToStream),
    NAME(OCIDirPathLoadStream), NAME(OCIDirPathStreamReset)};

#undef SLOT
#undef NAME

// Looks the names up in turn while the group is still complete; the first
// missing name ends the group and leaves the later slots empty.
template <std::size_t N>
bool ResolveGroup(const EntryName (&names)[N], bool flag, const SymbolLookup& lookup,
                  oci::OciApi& api) {
  for (const EntryName& entry : names) {
    void* address = flag ? lookup(entry.name) : nullptr;
    if (!address) flag = false;
    if (entry.slot != kNoSlot) {
      std::memcpy(reinterpret_cast<char*>(&api) + entry.slot, &address, sizeof address);
    }
  }
  return flag;
}

}  // namespace

EntryPointGroups ResolveEntryPoints(const SymbolLookup& lookup, oci::OciApi& api) {
  static_assert(sizeof(void*) == sizeof(oci::PFN_OCIInitialize), "function pointers fit a slot");
  api = oci::OciApi{};
  EntryPointGroups groups;
  groups.oci7Calls = ResolveGroup(kOci7Calls, true, lookup, api);
  groups.oci7Logon = ResolveGroup(kOci7Logon, groups.oci7Calls, lookup, api);
  groups.oci7ProcessInit = ResolveGroup(kOci7ProcessInit, groups.oci7Logon, lookup, api);
  groups.oci8Calls = ResolveGroup(kOci8Calls, true, lookup, api);
  groups.oci8ErrorTexts = ResolveGroup(kOci8ErrorTexts, groups.oci8Calls, lookup, api);
  groups.oci81Calls = ResolveGroup(kOci81Calls, groups.oci8Calls, lookup, api);
  return groups;
}

int Oci8GroupSize() { return static_cast<int>(std::size(kOci8Calls)); }

}  // namespace oracle
