// platform_posix.cpp — the platform layer on Linux (the far2l build).
//
// The registry is the file-backed store of registry_store.cpp below
// RegistryStoreDirectory(); text is UTF-8 on both sides of the host, so the
// OEM/ANSI conversions are the identity; the module's version is the one
// compiled in (QUARRY_VERSION).  Everything else maps one to one onto POSIX.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/console.h"
#include "platform/internal.h"
#include "platform/platform.h"

extern char** environ;

// Tests that kill a writing process define this to stop it at a step of an
// atomic file replacement (1: the new file made, 2: half the content
// written, 3: all written and flushed, not yet renamed); the module leaves
// it undefined, so nothing is called.
extern "C" void quarry_replace_file_step(int step) __attribute__((weak));

namespace platform {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Children started without waiting are reaped on later calls, so they do not
// linger as zombies for the life of the host.
CriticalSection& DetachedLock() {
  static CriticalSection lock;
  return lock;
}
std::vector<pid_t>& DetachedChildren() {
  static std::vector<pid_t> children;
  return children;
}
void ReapDetachedChildren() {
  DetachedLock().Enter();
  auto& children = DetachedChildren();
  for (std::size_t i = 0; i < children.size();) {
    int status;
    pid_t r = ::waitpid(children[i], &status, WNOHANG);
    if (r == children[i] || (r < 0 && errno == ECHILD)) {
      children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  DetachedLock().Leave();
}

}  // namespace

// ---- registry -----------------------------------------------------------

std::unique_ptr<RegistryKey> RegistryKey::Open(Hive hive, const std::string& path, bool create) {
  return internal::OpenStoreKey(internal::RegistryStoreDirectory(), hive, path, create);
}

bool DeleteKeyTree(Hive hive, const std::string& path) {
  return internal::DeleteStoreKeyTree(internal::RegistryStoreDirectory(), hive, path);
}

// ---- locking between processes --------------------------------------------

internal::FileLock::FileLock(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  handle_ = fd;
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  locked_ = rc == 0;
}

internal::FileLock::~FileLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // releases the lock
}

// ---- dynamic libraries ----------------------------------------------------

LibraryHandle OpenLibrary(const std::string& path, std::string* error) {
  ::dlerror();
  void* lib = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib && error) {
    const char* why = ::dlerror();
    *error = why ? why : "cannot load " + path;
  }
  return lib;
}

void* FindSymbol(LibraryHandle lib, const char* name) {
  return lib ? ::dlsym(lib, name) : nullptr;
}

void CloseLibrary(LibraryHandle lib) {
  if (lib) ::dlclose(lib);
}

std::string LibraryPath(LibraryHandle lib) {
  struct link_map* map = nullptr;
  if (!lib || ::dlinfo(lib, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return "";
  return map->l_name;
}

std::string FindSystemLibrary(const std::string& fileName) { return fileName; }

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

// ---- files and directories -----------------------------------------------

char PathSeparator() { return '/'; }

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

std::vector<std::string> ListFiles(const std::string& dir, const std::string& pattern) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (dirent* entry = ::readdir(d)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!internal::MatchWildcard(pattern, name)) continue;
    if (FileExists(JoinPath(dir.empty() ? "." : dir, name))) names.push_back(name);
  }
  ::closedir(d);
  return names;
}

std::string CurrentDirectory() {
  std::string buf(256, '\0');
  for (;;) {
    if (::getcwd(buf.data(), buf.size())) return buf.c_str();
    if (errno != ERANGE) return "";
    buf.resize(buf.size() * 2);
  }
}

bool ChangeDirectory(const std::string& dir) { return ::chdir(dir.c_str()) == 0; }

std::string ShortPathName(const std::string& path) { return path; }

namespace {

// Writes through a sibling temporary file renamed over the target.  `mode`
// -1 keeps the permissions of the file it replaces (new files: 0666 less the
// umask); otherwise the file gets exactly `mode`.
bool ReplaceFile(const std::string& path, const std::string& content, int mode) {
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = path + ".tmp" + internal::RandomTag();
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode < 0 ? 0666 : mode);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  struct stat st;
  if (mode >= 0) {
    ::fchmod(fd, static_cast<mode_t>(mode));
  } else if (::stat(path.c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);  // replacing a file keeps its permissions
  }
  auto step = [](int n) {
    if (quarry_replace_file_step) quarry_replace_file_step(n);
  };
  step(1);
  const std::size_t half = content.size() / 2;
  bool ok = WriteAll(fd, content.data(), half);
  step(2);
  ok = ok && WriteAll(fd, content.data() + half, content.size() - half) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) step(3);
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable.
  std::string dir = DirectoryOf(path);
  int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

// The user's own folder below /tmp: made with mode 0700, and used only when
// it is a real directory (not a link) owned by this user; its mode is then
// put back to 0700.  "" when that cannot be had.
std::string PrivateTempFolder() {
  std::string dir = "/tmp/quarry-" + std::to_string(::geteuid());
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return "";
  struct stat st;
  if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return "";
  if ((st.st_mode & 07777) != 0700 && ::chmod(dir.c_str(), 0700) != 0) return "";
  return dir;
}

}  // namespace

bool WriteFileAtomic(const std::string& path, const std::string& content) { return ReplaceFile(path, content, -1); }

bool WritePrivateFileAtomic(const std::string& path, const std::string& content) {
  return ReplaceFile(path, content, 0600);
}

bool MakeDirectoryPrivate(const std::string& dir) {
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0 && (st.st_mode & 07777) == 0700) return true;
  return ::chmod(dir.c_str(), 0700) == 0;
}

bool MakeFilePrivate(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) == 0600) return true;
  return ::chmod(path.c_str(), 0600) == 0;
}

bool EnsurePrivateFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
  if (ok && (st.st_mode & 07777) != 0600) ok = ::fchmod(fd, 0600) == 0;
  ::close(fd);
  return ok;
}

std::string TempDirectory() {
  std::string dir;
  if (auto env = GetEnv("TMPDIR"); env && !env->empty() && DirectoryExists(*env)) dir = *env;
  if (dir.empty()) dir = PrivateTempFolder();
  if (dir.empty()) {
    // Someone else holds the user's folder name: a fresh private folder for
    // this process rather than the shared /tmp.
    static std::string fresh = [] {
      std::string pattern = "/tmp/quarry-" + std::to_string(::geteuid()) + "-XXXXXX";
      return ::mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
    }();
    dir = fresh;
  }
  if (dir.back() != '/') dir += '/';
  return dir;
}

int LastSystemError() { return errno; }
void SetLastSystemError(int code) { errno = code; }

std::string CreateTempFile(const std::string& prefix, const std::string& extension) {
  std::string dir = TempDirectory();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = dir + prefix + internal::RandomTag() + extension;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) return "";
  }
  return "";
}

// ---- processes --------------------------------------------------------------

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, bool wait) {
  ProcessResult result;
  ReapDetachedChildren();
  if (program.empty()) {
    result.error = "no program given";
    return result;
  }
  if (!workDir.empty() && !DirectoryExists(workDir)) {
    result.error = "working directory not found: " + workDir;
    return result;
  }
  // A relative path names a program relative to our directory, not the child's.
  bool search = program.find('/') == std::string::npos;
  std::string exe = (search || program[0] == '/') ? program : JoinPath(CurrentDirectory(), program);

  std::vector<std::string> argvText;
  argvText.push_back(program);
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  // The host may block or ignore signals (SIGINT, SIGPIPE ...); the child
  // starts with the defaults, as it would from a shell.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  int rc = search ? ::posix_spawnp(&pid, exe.c_str(), &actions, &attr, argv.data(), environ)
                  : ::posix_spawn(&pid, exe.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    result.error = program + ": " + ErrnoText(rc);
    return result;
  }
  result.started = true;
  if (!wait) {
    DetachedLock().Enter();
    DetachedChildren().push_back(pid);
    DetachedLock().Leave();
    return result;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      // Someone else (a host's SIGCHLD handler) reaped it first.
      result.error = "exit status lost: " + ErrnoText(errno);
      return result;
    }
  }
  if (WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.exitCode = 128 + WTERMSIG(status);
    result.error = "terminated by signal " + std::to_string(WTERMSIG(status));
  }
  return result;
}

namespace {

// One word for the shell: as it is when it holds nothing the shell reads
// specially, else in single quotes (a quote inside written '\'').
std::string ShellWord(const std::string& word) {
  bool plain = !word.empty();
  for (char c : word) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      (c != '\0' && std::strchr("_@%+=:,./-", c) != nullptr);
    plain = plain && safe;
  }
  if (plain) return word;
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

std::string ConsoleCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words) line += (line.empty() ? "" : " ") + ShellWord(w);
  return line;
}

int RunConsoleProgram(const std::string& commandLine, bool /*minimized*/, bool wait, ConsoleHost& host,
                      std::string* error) {
  // far2l's terminal runs its own long-lived shell, which need not stand
  // where this process stands: the line starts the program here, in a
  // subshell, so the user's shell (and the panel that follows it) stays put.
  const std::string line = "(cd " + ShellWord(CurrentDirectory()) + " && " + commandLine + ")";
  std::optional<int> code = host.Execute(line, wait);
  if (!code) {
    if (error) *error = "the host cannot run programs in its terminal";
    return -1;
  }
  return *code;
}

bool CanWriteIn(const std::string& dir) {
  return DirectoryExists(dir) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                   static_cast<long long>(st.st_size)};
}

std::string UserDataDirectory() {
  std::string store = internal::RegistryStoreDirectory();
  while (store.size() > 1 && store.back() == '/') store.pop_back();
  return store.empty() ? std::string() : DirectoryOf(store);
}

std::string ProgramFileName(const std::string& baseName) {
  std::string name = baseName;
  for (char& c : name) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return name;
}

std::string FindOnPath(const std::string& fileName) {
  if (fileName.empty()) return "";
  if (fileName.find('/') != std::string::npos) return IsExecutableFile(fileName) ? fileName : "";
  std::string path = GetEnv("PATH").value_or("/usr/local/bin:/usr/bin:/bin");
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string dir = path.substr(start, end - start);
    std::string candidate = JoinPath(dir.empty() ? "." : dir, fileName);
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

std::vector<std::string> ProcessCommandLine() {
  std::vector<std::string> args;
  std::string data;
  if (!ReadWholeFile("/proc/self/cmdline", data)) return args;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find('\0', start);
    if (end == std::string::npos) end = data.size();
    args.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

// ---- environment ------------------------------------------------------------

std::optional<std::string> GetEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

void SetEnv(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnv(const std::string& name) { ::unsetenv(name.c_str()); }

char PathListSeparator() { return ':'; }

// ---- text -------------------------------------------------------------------

std::string AnsiToOem(std::string_view text) { return std::string(text); }
std::string OemToAnsi(std::string_view text) { return std::string(text); }

// ---- the plugin module ------------------------------------------------------

std::string ModuleFileName() {
  Dl_info info{};
  link_map* map = nullptr;
  if (::dladdr1(reinterpret_cast<void*>(&ModuleFileName), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) == 0)
    return "";
  // The main program has an empty name in the link map.
  std::string name = (map && map->l_name && *map->l_name) ? map->l_name : "/proc/self/exe";
  char resolved[PATH_MAX];
  if (::realpath(name.c_str(), resolved)) return resolved;
  return name == "/proc/self/exe" ? "" : name;
}

std::string ModuleFileVersion() {
#ifdef QUARRY_VERSION
  return QUARRY_VERSION;
#else
  return "";
#endif
}

// ---- synchronisation ----------------------------------------------------------

struct CriticalSection::Impl {
  pthread_mutex_t mutex;
};

CriticalSection::CriticalSection() : impl_(new Impl) {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&impl_->mutex, &attr);
  pthread_mutexattr_destroy(&attr);
}

CriticalSection::~CriticalSection() {
  pthread_mutex_destroy(&impl_->mutex);
  delete impl_;
}

void CriticalSection::Enter() { pthread_mutex_lock(&impl_->mutex); }
void CriticalSection::Leave() { pthread_mutex_unlock(&impl_->mutex); }

}  // namespace platform
