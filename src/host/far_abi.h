// far_abi.h — the host's binary interface, written from the host ABI fact sheet.
//
// Two layouts share one set of names:
//   * FAR Manager 1.70 ANSI on 32-bit Windows (QUARRY_HOST_WIN32), and
//   * far2l "mb" plugins on Linux x86_64 (QUARRY_HOST_FAR2L).
// Both hosts pack their structures on 2-byte boundaries, also on x86_64.
// This header is the only place in the project that knows the host's
// structures; everything else goes through the names declared here.
#pragma once

#include <cstddef>
#include <cstdint>

#if !defined(QUARRY_HOST_WIN32) && !defined(QUARRY_HOST_FAR2L)
#error "define QUARRY_HOST_WIN32 or QUARRY_HOST_FAR2L (the build does)"
#endif

#if defined(QUARRY_HOST_WIN32)
#define FARAPI __stdcall
#define FAREXPORT extern "C"
#else
#define FARAPI
#define FAREXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace far {

using DWORD = std::uint32_t;
using BOOL = int;
using HANDLE = void*;
using INT_PTR = std::intptr_t;     // 4 bytes on Win32, 8 on far2l
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using HOSTLONG = std::intptr_t;    // the C "long" of the host: 4 on Win32, 8 on LP64

inline HANDLE InvalidHandle() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }

#if defined(QUARRY_HOST_WIN32)
constexpr int kMaxPath = 260;
constexpr bool kHostTextIsUtf8 = false;  // OEM code page, one byte a character
constexpr bool kHostHistoriesInFiles = false;  // dialog histories live in the registry
constexpr char kHostPathSeparator = '\\';  // plugin paths as the host splits them
#else
constexpr int kMaxPath = 4096;
constexpr int kMaxName = 255;
constexpr bool kHostTextIsUtf8 = true;   // far2l converts UTF-8 both ways
// far2l keeps dialog histories in <profile>/.config/history/dialogs.hst,
// not in its registry emulation.
constexpr bool kHostHistoriesInFiles = true;
// far2l splits a plugin's paths at '/' only: it finds the directory ".."
// left by the last '/'-element of the plugin's current directory, and its
// Find File sets "/" for the plugin's root and joins levels with '/'.
constexpr char kHostPathSeparator = '/';
#endif

// Types declared outside the host header proper use natural packing.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
static_assert(sizeof(FILETIME) == 8);

struct RECT {
  std::int32_t left, top, right, bottom;
};
static_assert(sizeof(RECT) == 16);

#pragma pack(push, 2)

struct PluginPanelItem;
struct FarDialogItem;
struct FarMenuItem;
struct FarStandardFunctions;

typedef LONG_PTR(FARAPI* FARWINDOWPROC)(HANDLE hDlg, int Msg, int Param1, LONG_PTR Param2);

typedef int(FARAPI* FARAPIMENU)(INT_PTR PluginNumber, int X, int Y, int MaxHeight, DWORD Flags,
                                const char* Title, const char* Bottom, const char* HelpTopic,
                                const int* BreakKeys, int* BreakCode, const FarMenuItem* Item,
                                int ItemsNumber);
typedef int(FARAPI* FARAPIDIALOG)(INT_PTR PluginNumber, int X1, int Y1, int X2, int Y2,
                                  const char* HelpTopic, FarDialogItem* Item, int ItemsNumber);
typedef int(FARAPI* FARAPIMESSAGE)(INT_PTR PluginNumber, DWORD Flags, const char* HelpTopic,
                                   const char* const* Items, int ItemsNumber, int ButtonsNumber);
typedef const char*(FARAPI* FARAPIGETMSG)(INT_PTR PluginNumber, int MsgId);
typedef int(FARAPI* FARAPICONTROL)(HANDLE hPlugin, int Command, void* Param);
typedef HANDLE(FARAPI* FARAPISAVESCREEN)(int X1, int Y1, int X2, int Y2);
typedef void(FARAPI* FARAPIRESTORESCREEN)(HANDLE hScreen);
typedef int(FARAPI* FARAPIGETDIRLIST)(const char* Dir, PluginPanelItem** pPanelItem,
                                      int* pItemsNumber);
typedef int(FARAPI* FARAPIGETPLUGINDIRLIST)(INT_PTR PluginNumber, HANDLE hPlugin,
                                            const char* Dir, PluginPanelItem** pPanelItem,
                                            int* pItemsNumber);
typedef void(FARAPI* FARAPIFREEDIRLIST)(const PluginPanelItem* PanelItem);
typedef int(FARAPI* FARAPIVIEWER)(const char* FileName, const char* Title, int X1, int Y1,
                                  int X2, int Y2, DWORD Flags);
typedef int(FARAPI* FARAPIEDITOR)(const char* FileName, const char* Title, int X1, int Y1,
                                  int X2, int Y2, DWORD Flags, int StartLine, int StartChar);
typedef int(FARAPI* FARAPICMPNAME)(const char* Pattern, const char* String, int SkipPath);
typedef int(FARAPI* FARAPICHARTABLE)(int Command, char* Buffer, int BufferSize);
typedef void(FARAPI* FARAPITEXT)(int X, int Y, int Color, const char* Str);
typedef int(FARAPI* FARAPIEDITORCONTROL)(int Command, void* Param);
typedef BOOL(FARAPI* FARAPISHOWHELP)(const char* ModuleName, const char* Topic, DWORD Flags);
typedef INT_PTR(FARAPI* FARAPIADVCONTROL)(INT_PTR PluginNumber, int Command, void* Param);
typedef int(FARAPI* FARAPIINPUTBOX)(const char* Title, const char* SubTitle,
                                    const char* HistoryName, const char* SrcText,
                                    char* DestText, int DestLength, const char* HelpTopic,
                                    DWORD Flags);
typedef int(FARAPI* FARAPIDIALOGEX)(INT_PTR PluginNumber, int X1, int Y1, int X2, int Y2,
                                    const char* HelpTopic, FarDialogItem* Item, int ItemsNumber,
                                    DWORD Reserved, DWORD Flags, FARWINDOWPROC DlgProc,
                                    LONG_PTR Param);
typedef LONG_PTR(FARAPI* FARAPISENDDLGMESSAGE)(HANDLE hDlg, int Msg, int Param1, LONG_PTR Param2);
typedef LONG_PTR(FARAPI* FARAPIDEFDLGPROC)(HANDLE hDlg, int Msg, int Param1, LONG_PTR Param2);
typedef int(FARAPI* FARAPIVIEWERCONTROL)(int Command, void* Param);

// Only the size field is read; the slots behind it are not used by the plugin.
struct FarStandardFunctions {
  int StructSize;
};

// The startup record.  Slots 1-24 are the same on every host generation.
// far2l 2.7.0 inserted a ColorDialog slot after InputBox, so the slots
// behind it are read through StartupTail() by the record's size.
struct PluginStartupInfo {
  int StructSize;
  char ModuleName[kMaxPath];
  INT_PTR ModuleNumber;
  const char* RootKey;
  FARAPIMENU Menu;
  FARAPIDIALOG Dialog;
  FARAPIMESSAGE Message;
  FARAPIGETMSG GetMsg;
  FARAPICONTROL Control;
  FARAPISAVESCREEN SaveScreen;
  FARAPIRESTORESCREEN RestoreScreen;
  FARAPIGETDIRLIST GetDirList;
  FARAPIGETPLUGINDIRLIST GetPluginDirList;
  FARAPIFREEDIRLIST FreeDirList;
  FARAPIVIEWER Viewer;
  FARAPIEDITOR Editor;
  FARAPICMPNAME CmpName;
  FARAPICHARTABLE CharTable;
  FARAPITEXT Text;
  FARAPIEDITORCONTROL EditorControl;
  FarStandardFunctions* FSF;
  FARAPISHOWHELP ShowHelp;
  FARAPIADVCONTROL AdvControl;
  FARAPIINPUTBOX InputBox;
  // The tail as the oldest layout of each host has it (Win32 1.70; far2l 2.6).
  FARAPIDIALOGEX DialogEx;
  FARAPISENDDLGMESSAGE SendDlgMessage;
  FARAPIDEFDLGPROC DefDlgProc;
  DWORD_PTR Reserved;
  FARAPIVIEWERCONTROL ViewerControl;
};

// far2l >= 2.7.0: the same record with ColorDialog after InputBox.
struct PluginStartupInfoColor {
  int StructSize;
  char ModuleName[kMaxPath];
  INT_PTR ModuleNumber;
  const char* RootKey;
  void* Slots[20];  // Menu .. InputBox, as in PluginStartupInfo
  int(FARAPI* ColorDialog)(int Flags, std::uint64_t* Color);
  FARAPIDIALOGEX DialogEx;
  FARAPISENDDLGMESSAGE SendDlgMessage;
  FARAPIDEFDLGPROC DefDlgProc;
  DWORD_PTR Reserved;
  FARAPIVIEWERCONTROL ViewerControl;
};

struct StartupTail {
  FARAPIDIALOGEX DialogEx = nullptr;
  FARAPISENDDLGMESSAGE SendDlgMessage = nullptr;
  FARAPIDEFDLGPROC DefDlgProc = nullptr;
  FARAPIVIEWERCONTROL ViewerControl = nullptr;
};

struct PluginInfo {
  int StructSize;
  DWORD Flags;
  const char* const* DiskMenuStrings;
  int* DiskMenuNumbers;
  int DiskMenuStringsNumber;
  const char* const* PluginMenuStrings;
  int PluginMenuStringsNumber;
  const char* const* PluginConfigStrings;
  int PluginConfigStringsNumber;
  const char* CommandPrefix;
  DWORD SysID;  // "Reserved" in the 1.70 headers
};

struct InfoPanelLine {
  char Text[80];
  char Data[80];
  int Separator;
};

struct PanelMode {
  char* ColumnTypes;
  char* ColumnWidths;
  char** ColumnTitles;
  int FullScreen;
  int DetailedStatus;
  int AlignExtensions;
  int CaseConversion;
  char* StatusColumnTypes;
  char* StatusColumnWidths;
  DWORD Reserved[2];
};

struct KeyBarTitles {
  char* Titles[12];
  char* CtrlTitles[12];
  char* AltTitles[12];
  char* ShiftTitles[12];
  char* CtrlShiftTitles[12];
  char* AltShiftTitles[12];
  char* CtrlAltTitles[12];
};

struct OpenPluginInfo {
  int StructSize;
  DWORD Flags;
  const char* HostFile;
  const char* CurDir;
  const char* Format;
  const char* PanelTitle;
  const InfoPanelLine* InfoLines;
  int InfoLinesNumber;
  const char* const* DescrFiles;
  int DescrFilesNumber;
  const PanelMode* PanelModesArray;
  int PanelModesNumber;
  int StartPanelMode;
  int StartSortMode;
  int StartSortOrder;
  const KeyBarTitles* KeyBar;
  const char* ShortcutData;
  HOSTLONG Reserved;  // never written: newer hosts put other fields here
};

#if defined(QUARRY_HOST_WIN32)

struct FAR_FIND_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  char cFileName[260];
  char cAlternateFileName[14];
};

struct PluginPanelItem {
  FAR_FIND_DATA FindData;
  DWORD PackSizeHigh;
  DWORD PackSize;
  DWORD Flags;
  DWORD NumberOfLinks;
  char* Description;
  char* Owner;
  char** CustomColumnData;
  int CustomColumnNumber;
  DWORD_PTR UserData;
  DWORD CRC32;
  DWORD_PTR Reserved[2];
};

constexpr int kFileNameBytes = 260;

#else

struct FAR_FIND_DATA {
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  std::uint64_t nPhysicalSize;
  std::uint64_t nFileSize;
  DWORD dwFileAttributes;
  DWORD dwUnixMode;
  char cFileName[kMaxName];
};

struct PluginPanelItem {
  FAR_FIND_DATA FindData;
  DWORD_PTR UserData;
  DWORD Flags;
  DWORD NumberOfLinks;
  char* Description;
  char* Owner;
  char* Group;
  char** CustomColumnData;
  int CustomColumnNumber;
  DWORD CRC32;
  DWORD_PTR Reserved[2];
};

constexpr int kFileNameBytes = kMaxName;

#endif

// Layout-independent access to an item's size field.
inline void SetItemFileSize(PluginPanelItem& item, std::uint64_t size) {
#if defined(QUARRY_HOST_WIN32)
  item.FindData.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  item.FindData.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
#else
  item.FindData.nFileSize = size;
  item.FindData.nPhysicalSize = size;
#endif
}

inline std::uint64_t ItemFileSize(const PluginPanelItem& item) {
#if defined(QUARRY_HOST_WIN32)
  return (static_cast<std::uint64_t>(item.FindData.nFileSizeHigh) << 32) |
         item.FindData.nFileSizeLow;
#else
  return item.FindData.nFileSize;
#endif
}

struct FarDialogItem {
  int Type;
  int X1, Y1, X2, Y2;
  int Focus;
  union {
    DWORD_PTR Reserved;
    int Selected;
    const char* History;
    const char* Mask;
    void* ListItems;
    int ListPos;
    void* VBuf;
  } Param;
  DWORD Flags;
  int DefaultButton;
  union {
    char Data[512];
    struct {
      DWORD PtrFlags;
      int PtrLength;
      char* PtrData;
      char PtrTail[1];
    } Ptr;
  } Data;
};

struct FarMenuItem {
  char Text[128];
  int Selected;
  int Checked;
  int Separator;
};

struct PanelInfo {
  int PanelType;
  int Plugin;
  RECT PanelRect;
  PluginPanelItem* PanelItems;
  int ItemsNumber;
  PluginPanelItem* SelectedItems;
  int SelectedItemsNumber;
  int CurrentItem;
  int TopPanelItem;
  int Visible;
  int Focus;
  int ViewMode;
  char ColumnTypes[80];
  char ColumnWidths[80];
  char CurDir[kMaxPath];
#if defined(QUARRY_HOST_WIN32)
  int ShortNames;
#endif
  int SortMode;
  DWORD Flags;
  DWORD Reserved;
};

struct PanelRedrawInfo {
  int CurrentItem;
  int TopPanelItem;
};

#pragma pack(pop)

// Sizes the hosts rely on.  FAR 1.70 is 32-bit: its layouts are asserted in
// the i686 build; the x86_64 Windows build (run under wine64 with the host
// stand-in, never by FAR) only shares the code.
#if defined(QUARRY_HOST_WIN32)
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(void*) == 4, "the Win32 build is 32-bit");
static_assert(sizeof(PluginStartupInfo) == 372);
static_assert(sizeof(PluginInfo) == 44);
static_assert(sizeof(OpenPluginInfo) == 72);
static_assert(sizeof(FAR_FIND_DATA) == 318);
static_assert(sizeof(PluginPanelItem) == 366);
static_assert(sizeof(FarDialogItem) == 548);
static_assert(sizeof(PanelInfo) == 496);
static_assert(sizeof(KeyBarTitles) == 336);
static_assert(sizeof(PanelMode) == 44);
// Where the fields Quarry writes lie in the 1.70 records (a field moved by a
// changed declaration would be read by FAR as another one).
static_assert(offsetof(PluginInfo, Flags) == 4 && offsetof(PluginInfo, DiskMenuStrings) == 8 &&
              offsetof(PluginInfo, DiskMenuNumbers) == 12 && offsetof(PluginInfo, DiskMenuStringsNumber) == 16 &&
              offsetof(PluginInfo, PluginMenuStrings) == 20 && offsetof(PluginInfo, PluginMenuStringsNumber) == 24 &&
              offsetof(PluginInfo, PluginConfigStrings) == 28 &&
              offsetof(PluginInfo, PluginConfigStringsNumber) == 32 && offsetof(PluginInfo, CommandPrefix) == 36);
static_assert(offsetof(OpenPluginInfo, Flags) == 4 && offsetof(OpenPluginInfo, HostFile) == 8 &&
              offsetof(OpenPluginInfo, CurDir) == 12 && offsetof(OpenPluginInfo, Format) == 16 &&
              offsetof(OpenPluginInfo, PanelTitle) == 20 && offsetof(OpenPluginInfo, InfoLines) == 24 &&
              offsetof(OpenPluginInfo, InfoLinesNumber) == 28 && offsetof(OpenPluginInfo, DescrFiles) == 32 &&
              offsetof(OpenPluginInfo, DescrFilesNumber) == 36 && offsetof(OpenPluginInfo, PanelModesArray) == 40 &&
              offsetof(OpenPluginInfo, PanelModesNumber) == 44 && offsetof(OpenPluginInfo, StartPanelMode) == 48 &&
              offsetof(OpenPluginInfo, StartSortMode) == 52 && offsetof(OpenPluginInfo, StartSortOrder) == 56 &&
              offsetof(OpenPluginInfo, KeyBar) == 60 && offsetof(OpenPluginInfo, ShortcutData) == 64);
static_assert(offsetof(FAR_FIND_DATA, dwFileAttributes) == 0 && offsetof(FAR_FIND_DATA, ftLastWriteTime) == 20 &&
              offsetof(FAR_FIND_DATA, nFileSizeHigh) == 28 && offsetof(FAR_FIND_DATA, nFileSizeLow) == 32 &&
              offsetof(FAR_FIND_DATA, cFileName) == 44 && offsetof(FAR_FIND_DATA, cAlternateFileName) == 304);
static_assert(offsetof(PluginPanelItem, PackSize) == 322 && offsetof(PluginPanelItem, Flags) == 326 &&
              offsetof(PluginPanelItem, Description) == 334 && offsetof(PluginPanelItem, Owner) == 338 &&
              offsetof(PluginPanelItem, CustomColumnData) == 342 &&
              offsetof(PluginPanelItem, CustomColumnNumber) == 346 && offsetof(PluginPanelItem, UserData) == 350 &&
              offsetof(PluginPanelItem, CRC32) == 354);
static_assert(offsetof(FarDialogItem, Focus) == 20 && offsetof(FarDialogItem, Param) == 24 &&
              offsetof(FarDialogItem, Flags) == 28 && offsetof(FarDialogItem, DefaultButton) == 32 &&
              offsetof(FarDialogItem, Data) == 36);
static_assert(offsetof(InfoPanelLine, Data) == 80 && offsetof(InfoPanelLine, Separator) == 160);
static_assert(offsetof(PanelMode, FullScreen) == 12 && offsetof(PanelMode, CaseConversion) == 24 &&
              offsetof(PanelMode, StatusColumnTypes) == 28 && offsetof(PanelMode, StatusColumnWidths) == 32);
static_assert(offsetof(KeyBarTitles, CtrlTitles) == 48 && offsetof(KeyBarTitles, ShiftTitles) == 144 &&
              offsetof(KeyBarTitles, CtrlAltTitles) == 288);
// The sizes written into the records' size fields (the 1.70 hosts read only
// what these cover; the declared structures carry one more reserved word).
constexpr int kPluginInfoSize = 40;
constexpr int kOpenPluginInfoSize = 68;
#else
constexpr int kPluginInfoSize = static_cast<int>(sizeof(PluginInfo));
constexpr int kOpenPluginInfoSize = static_cast<int>(sizeof(OpenPluginInfo));
#endif
#else
static_assert(sizeof(void*) == 8, "the far2l build is x86_64");
static_assert(sizeof(PluginStartupInfo) == 4316);
static_assert(sizeof(PluginStartupInfoColor) == 4324);
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 4100);
static_assert(offsetof(PluginStartupInfo, InputBox) == 4268);
static_assert(offsetof(PluginStartupInfoColor, DialogEx) == 4284);
static_assert(sizeof(PluginInfo) == 64);
static_assert(sizeof(OpenPluginInfo) == 112);
static_assert(sizeof(FAR_FIND_DATA) == 304);
static_assert(sizeof(PluginPanelItem) == 376);
static_assert(sizeof(FarDialogItem) == 552);
static_assert(sizeof(PanelInfo) == 4336);
static_assert(sizeof(KeyBarTitles) == 672);
static_assert(sizeof(PanelMode) == 64);
constexpr int kPluginInfoSize = sizeof(PluginInfo);
constexpr int kOpenPluginInfoSize = sizeof(OpenPluginInfo);
#endif
static_assert(sizeof(FarMenuItem) == 140);
static_assert(sizeof(InfoPanelLine) == 164);
static_assert(sizeof(PanelRedrawInfo) == 8);

// The service slots behind InputBox, chosen by the record's size.
inline StartupTail ReadStartupTail(const void* record) {
  StartupTail tail;
  int size = *static_cast<const int*>(record);
#if defined(QUARRY_HOST_FAR2L)
  if (size >= static_cast<int>(sizeof(PluginStartupInfoColor))) {
    auto* info = static_cast<const PluginStartupInfoColor*>(record);
    tail = {info->DialogEx, info->SendDlgMessage, info->DefDlgProc, info->ViewerControl};
    return tail;
  }
#endif
  if (size >= static_cast<int>(sizeof(PluginStartupInfo))) {
    auto* info = static_cast<const PluginStartupInfo*>(record);
    tail = {info->DialogEx, info->SendDlgMessage, info->DefDlgProc, info->ViewerControl};
  }
  return tail;
}

// far2l's Execute, the one slot of the host's standard-function table the
// plugin uses (slot 56, at 4 + 8 x 56; the table itself is declared above
// only by its size, as the two hosts' tables differ).
// Runs a command line through the shell of far2l's own terminal, where the
// user sees it, and returns its exit code.  The 1.70 table has no such slot.
typedef int(FARAPI* FARSTDEXECUTE)(const char* CmdStr, unsigned int ExecFlags);
constexpr unsigned EF_NOWAIT = 0x2;      // do not wait for the command to end
constexpr unsigned EF_NOCMDPRINT = 0x10; // keep the line out of the terminal and the history

// The host's Execute service, or null when its table has none (any Win32
// host; a far2l table too short to hold slot 56).
inline FARSTDEXECUTE ReadFsfExecute(const FarStandardFunctions* fsf) {
#if defined(QUARRY_HOST_FAR2L)
  constexpr std::size_t kOffset = 4 + 8 * 56;
  if (fsf == nullptr || fsf->StructSize < static_cast<int>(kOffset + sizeof(void*))) return nullptr;
  FARSTDEXECUTE fn = nullptr;
  __builtin_memcpy(&fn, reinterpret_cast<const unsigned char*>(fsf) + kOffset, sizeof fn);
  return fn;
#else
  (void)fsf;
  return nullptr;
#endif
}

// ---- numeric constants ----------------------------------------------------

// Message flags
constexpr DWORD FMSG_WARNING = 0x1;
constexpr DWORD FMSG_ERRORTYPE = 0x2;
constexpr DWORD FMSG_KEEPBACKGROUND = 0x4;
constexpr DWORD FMSG_LEFTALIGN = 0x10;
constexpr DWORD FMSG_ALLINONE = 0x20;

// Menu flags
constexpr DWORD FMENU_SHOWAMPERSAND = 0x1;
constexpr DWORD FMENU_WRAPMODE = 0x2;
constexpr DWORD FMENU_AUTOHIGHLIGHT = 0x4;

// Dialog item types
enum DialogItemType {
  DI_TEXT = 0, DI_VTEXT = 1, DI_SINGLEBOX = 2, DI_DOUBLEBOX = 3, DI_EDIT = 4, DI_PSWEDIT = 5,
  DI_FIXEDIT = 6, DI_BUTTON = 7, DI_CHECKBOX = 8, DI_RADIOBUTTON = 9, DI_COMBOBOX = 10,
  DI_LISTBOX = 11, DI_USERCONTROL = 255
};

// Dialog item flags
constexpr DWORD DIF_BOXCOLOR = 0x200;
constexpr DWORD DIF_GROUP = 0x400;
constexpr DWORD DIF_LEFTTEXT = 0x800;
constexpr DWORD DIF_CENTERGROUP = 0x4000;
constexpr DWORD DIF_SEPARATOR = 0x10000;
constexpr DWORD DIF_EDITOR = 0x20000;  // edit rows that form one multi-line editor
constexpr DWORD DIF_HISTORY = 0x40000;
constexpr DWORD DIF_USELASTHISTORY = 0x200000;
constexpr DWORD DIF_MASKEDIT = 0x400000;
constexpr DWORD DIF_DISABLE = 0x80000000u;

// Control commands
enum ControlCommand {
  FCTL_CLOSEPLUGIN = 0, FCTL_GETPANELINFO = 1, FCTL_GETANOTHERPANELINFO = 2,
  FCTL_UPDATEPANEL = 3, FCTL_UPDATEANOTHERPANEL = 4, FCTL_REDRAWPANEL = 5,
  FCTL_REDRAWANOTHERPANEL = 6, FCTL_SETANOTHERPANELDIR = 7, FCTL_GETCMDLINE = 8,
  FCTL_SETCMDLINE = 9, FCTL_SETSELECTION = 10, FCTL_SETANOTHERSELECTION = 11,
  FCTL_SETVIEWMODE = 12, FCTL_SETANOTHERVIEWMODE = 13, FCTL_INSERTCMDLINE = 14,
  FCTL_SETUSERSCREEN = 15, FCTL_SETPANELDIR = 16
};
// PanelInfo::PanelType
enum PanelType { PTYPE_FILEPANEL = 0, PTYPE_TREEPANEL = 1, PTYPE_QVIEWPANEL = 2, PTYPE_INFOPANEL = 3 };
// Buffer size for FCTL_GETCMDLINE (far2l writes up to 1024 bytes).
constexpr int kCommandLineBuffer = 5000;

// Panel events
enum PanelEvent {
  FE_CHANGEVIEWMODE = 0, FE_REDRAW = 1, FE_IDLE = 2, FE_CLOSE = 3, FE_BREAK = 4,
  FE_COMMAND = 5, FE_GOTFOCUS = 6, FE_KILLFOCUS = 7
};

// Key state and the pre-process marker far2l ORs into the key
constexpr unsigned PKF_CONTROL = 0x1;
constexpr unsigned PKF_ALT = 0x2;
constexpr unsigned PKF_SHIFT = 0x4;
constexpr int PKF_PREPROCESS = 0x80000;

// Operation modes
constexpr int OPM_SILENT = 0x1;
constexpr int OPM_FIND = 0x2;
constexpr int OPM_VIEW = 0x4;
constexpr int OPM_EDIT = 0x8;
constexpr int OPM_TOPLEVEL = 0x10;

// Open-from codes
enum OpenFrom {
  OPEN_DISKMENU = 0, OPEN_PLUGINSMENU = 1, OPEN_FINDLIST = 2, OPEN_SHORTCUT = 3,
  OPEN_COMMANDLINE = 4
};

// OpenPluginInfo flags
constexpr DWORD OPIF_USEFILTER = 0x1;
constexpr DWORD OPIF_USESORTGROUPS = 0x2;
constexpr DWORD OPIF_USEHIGHLIGHTING = 0x4;
constexpr DWORD OPIF_ADDDOTS = 0x8;
constexpr DWORD OPIF_FINDFOLDERS = 0x200;

// Item flags and attributes
constexpr DWORD PPIF_SELECTED = 0x40000000;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;

// Editor / viewer / help flags
constexpr DWORD EF_NONMODAL = 0x1;
constexpr DWORD VF_NONMODAL = 0x1;
constexpr DWORD VF_DELETEONCLOSE = 0x2;
#if defined(QUARRY_HOST_WIN32)
// The only delete-on-close flag of 1.70 (it also removes an emptied folder).
constexpr DWORD kViewerDeleteFileOnClose = VF_DELETEONCLOSE;
#else
// far2l can delete the file alone; the folder (the temporary directory)
// must stay.
constexpr DWORD VF_DELETEONLYFILEONCLOSE = 0x200;
constexpr DWORD kViewerDeleteFileOnClose = VF_DELETEONLYFILEONCLOSE;
#endif
// Editor results (far2l; a 1.70 host's non-zero answers are not relied on).
constexpr int EEC_OPEN_ERROR = 0;
constexpr int EEC_MODIFIED = 1;
constexpr int EEC_NOT_MODIFIED = 2;
constexpr DWORD FHELP_CUSTOMFILE = 0x2;
constexpr DWORD FHELP_USECONTENTS = 0x40000000;

// Windows virtual-key codes delivered in ProcessKey's Key argument
enum VirtualKey {
  VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
  VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25,
  VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
  VK_F1 = 0x70, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, VK_F11, VK_F12
};

// The signatures of the eleven exports, for hosts (and the host stand-in)
// that resolve them by name.
typedef void(FARAPI* SetStartupInfoFn)(const PluginStartupInfo* Info);
typedef void(FARAPI* GetPluginInfoFn)(PluginInfo* Info);
typedef HANDLE(FARAPI* OpenPluginFn)(int OpenFrom, INT_PTR Item);
typedef void(FARAPI* ClosePluginFn)(HANDLE hPlugin);
typedef int(FARAPI* GetFindDataFn)(HANDLE hPlugin, PluginPanelItem** pPanelItem,
                                   int* pItemsNumber, int OpMode);
typedef void(FARAPI* FreeFindDataFn)(HANDLE hPlugin, PluginPanelItem* PanelItem,
                                     int ItemsNumber);
typedef int(FARAPI* SetDirectoryFn)(HANDLE hPlugin, const char* Dir, int OpMode);
typedef void(FARAPI* GetOpenPluginInfoFn)(HANDLE hPlugin, OpenPluginInfo* Info);
typedef int(FARAPI* ProcessKeyFn)(HANDLE hPlugin, int Key, unsigned int ControlState);
typedef int(FARAPI* ProcessEventFn)(HANDLE hPlugin, int Event, void* Param);
typedef int(FARAPI* ConfigureFn)(int ItemNumber);

}  // namespace far
