#include "host/wine_paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "host/case.h"
#include "host/utf.h"

namespace host {

namespace {

bool IsSeparator(char16_t unit) {
  return unit == u'\\' || unit == u'/';
}

bool StartsWith(std::u16string_view text, std::u16string_view start) {
  return text.substr(0, start.size()) == start;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::string HostName(std::u16string_view text) {
  return EncodeUtf8(text, LoneSurrogates::kRestoreBytes);
}

// ---- From a Win32 path to an NT path, as Wine's ntdll does it ---------------------------------

// The kinds of path text that Win32 tells apart (RtlDetermineDosPathNameType_U).
enum class PathKind {
  kUnc,              // \\server\share
  kDevice,           // \\.\x or \\?\x, with either separator
  kRootLocalDevice,  // \\. alone
  kAbsoluteDrive,    // c:\x
  kRelativeDrive,    // c:x
  kAbsolute,         // \x
  kRelative,         // x
};

PathKind KindOf(std::u16string_view path) {
  const auto at = [&](std::size_t i) { return i < path.size() ? path[i] : u'\0'; };
  if (IsSeparator(at(0))) {
    if (!IsSeparator(at(1))) return PathKind::kAbsolute;
    if (at(2) != u'.' && at(2) != u'?') return PathKind::kUnc;
    if (IsSeparator(at(3))) return PathKind::kDevice;
    if (at(3) != u'\0') return PathKind::kUnc;
    return PathKind::kRootLocalDevice;
  }
  if (at(0) == u'\0' || at(1) != u':') return PathKind::kRelative;
  return IsSeparator(at(2)) ? PathKind::kAbsoluteDrive : PathKind::kRelativeDrive;
}

// Where the share's path starts in a UNC path: past "\\server\share\".
std::size_t SkipUncPrefix(std::u16string_view path) {
  std::size_t i = 2;
  while (i < path.size() && !IsSeparator(path[i])) ++i;
  while (i < path.size() && IsSeparator(path[i])) ++i;
  while (i < path.size() && !IsSeparator(path[i])) ++i;
  while (i < path.size() && IsSeparator(path[i])) ++i;
  return i;
}

// Win32's clean-up of a full path after its first `mark` units (the root, which is kept):
// separators become backslashes and runs of them one; "." and ".." go, never above the root; a
// component before a separator loses one trailing dot; the path loses its trailing dots and
// spaces. Windows documents the dots and spaces; Wine does exactly this.
void CollapsePath(std::u16string& path, std::size_t mark) {
  for (char16_t& unit : path)
    if (unit == u'/') unit = u'\\';
  std::u16string collapsed = path.substr(0, std::max<std::size_t>(1, mark));
  for (std::size_t i = collapsed.size(); i < path.size(); ++i)
    if (path[i] != u'\\' || collapsed.back() != u'\\') collapsed.push_back(path[i]);
  path = std::move(collapsed);

  std::size_t p = mark;
  const auto at = [&](std::size_t i) { return i < path.size() ? path[i] : u'\0'; };
  // Backs up from p to the start of the component before it, never above the root.
  const auto back_one = [&] {
    if (p > mark) {
      --p;
      while (p > mark && path[p - 1] != u'\\') --p;
    }
  };
  while (p < path.size()) {
    if (path[p] == u'.') {
      if (at(p + 1) == u'\\') {  // ".\"
        path.erase(p, 2);
        continue;
      }
      if (at(p + 1) == u'\0') {  // a final "."
        if (p > mark) --p;
        path.resize(p);
        continue;
      }
      if (at(p + 1) == u'.' && at(p + 2) == u'\\') {  // "..\"
        const std::size_t next = p + 3;
        back_one();
        path.erase(p, next - p);
        continue;
      }
      if (at(p + 1) == u'.' && at(p + 2) == u'\0') {  // a final ".."
        back_one();
        if (p > mark) --p;
        path.resize(p);
        continue;
      }
    }
    while (p < path.size() && path[p] != u'\\') ++p;
    if (p < path.size()) {
      // One trailing dot of the component before the separator goes.
      if (p > mark && path[p - 1] == u'.')
        path.erase(p - 1, 1);
      else
        ++p;
    }
  }
  while (p > mark && (path[p - 1] == u' ' || path[p - 1] == u'.')) --p;
  path.resize(p);
}

// The prefix's link for drive or device `name` ("c:", "com1"), by its lower-case name; "" without
// a prefix.
std::string DosDevicesEntry(std::u16string_view name) {
  const std::string prefix = WinePrefix();
  if (prefix.empty()) return {};
  std::string lower = HostName(name);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c | 0x20 : c);
  return prefix + "/dosdevices/" + lower;
}

// Whether `path` starts with "\\?\" or "\??\" (and goes on), which hand the rest to the NT layer as
// it is, with no clean-up at all.
bool TakenAsItIs(std::u16string_view path) {
  return StartsWith(path, u"\\\\?\\") || (StartsWith(path, u"\\??\\") && path.size() > 4);
}

// The current directory as Win32 names it, ending in a backslash: the working directory below
// the deepest drive root that holds it (C:\... inside drive_c, Z:\... elsewhere in a new
// prefix), or, on no drive, below Wine's name for the host's root, \\?\unix.
std::u16string CurrentDirectory() {
  char* working = getcwd(nullptr, 0);
  if (working == nullptr) return {};
  std::string host(working);
  std::free(working);
  struct stat drives[26];
  bool have[26];
  for (int d = 0; d < 26; ++d) {
    const char16_t drive[] = {static_cast<char16_t>(u'a' + d), u':'};
    const std::string directory = DosDevicesEntry(std::u16string_view(drive, 2));
    have[d] = !directory.empty() && stat(directory.c_str(), &drives[d]) == 0;
  }
  for (std::size_t cut = host.size();; cut = host.rfind('/', cut - 1)) {
    const std::string above = cut == 0 ? "/" : host.substr(0, cut);
    struct stat info;
    if (stat(above.c_str(), &info) == 0) {
      for (int d = 0; d < 26; ++d) {
        if (!have[d] || drives[d].st_dev != info.st_dev || drives[d].st_ino != info.st_ino)
          continue;
        std::u16string dos = {static_cast<char16_t>(u'A' + d), u':'};
        dos += DecodeUtf8(host.substr(cut));
        for (char16_t& unit : dos)
          if (unit == u'/') unit = u'\\';
        if (dos.back() != u'\\') dos.push_back(u'\\');
        return dos;
      }
    }
    if (cut == 0) break;
  }
  std::u16string dos = u"\\\\?\\unix" + DecodeUtf8(host);
  for (char16_t& unit : dos)
    if (unit == u'/') unit = u'\\';
  if (dos.back() != u'\\') dos.push_back(u'\\');
  return dos;
}

// The device that the last component of `path` names (NUL, CON, AUX, PRN, COM1..9, LPT1..9,
// with any extension or blanks after it), as RtlIsDosDeviceName_U finds it; "" for none.
std::u16string DosDeviceName(std::u16string_view path) {
  std::size_t start = 0;
  switch (KindOf(path)) {
    case PathKind::kUnc:
    case PathKind::kDevice:  // only \\.\CON, which a probe does not meet
      return {};
    case PathKind::kAbsoluteDrive:
    case PathKind::kRelativeDrive:
      start = 2;
      break;
    default:
      break;
  }
  for (std::size_t i = start; i < path.size(); ++i)
    if (IsSeparator(path[i])) start = i + 1;
  std::size_t end = start;
  while (end < path.size() && path[end] != u'.' && path[end] != u':') ++end;
  while (end > start && path[end - 1] == u' ') --end;
  const std::u16string_view name = path.substr(start, end - start);
  const auto is = [&](std::u16string_view device) {
    return SameIgnoringCase(name.substr(0, device.size()), device);
  };
  if (name.size() == 3 && (is(u"AUX") || is(u"CON") || is(u"NUL") || is(u"PRN")))
    return std::u16string(name);
  if (name.size() == 4 && (is(u"COM") || is(u"LPT")) && name[3] > u'0' && name[3] <= u'9')
    return std::u16string(name);
  return {};
}

// Whether the entry at NT path `nt` (what follows "\??\") exists: its first component names a
// drive ("c:"), a device, or "unix" (the host's root); the rest is looked up below it.
bool NtPathExists(std::u16string_view nt);

// The full path of `path` (GetFullPathNameW), before it is an NT path; "" where Win32 has none.
std::u16string FullPathName(std::u16string_view path) {
  if (path.find_first_not_of(u' ') == std::u16string_view::npos) return {};
  std::u16string full;
  std::size_t mark = 0;
  switch (KindOf(path)) {
    case PathKind::kUnc:
      full = path;
      mark = SkipUncPrefix(path);
      break;
    case PathKind::kDevice:
      full = path;
      mark = 4;
      break;
    case PathKind::kRootLocalDevice:
      full = u"\\\\.\\";
      mark = 4;
      break;
    case PathKind::kAbsoluteDrive:
      full = path;
      full[0] = FoldCase(full[0]);
      mark = 3;
      break;
    case PathKind::kRelativeDrive: {
      const std::u16string current = CurrentDirectory();
      if (current.size() > 1 && current[1] == u':' && FoldCase(current[0]) == FoldCase(path[0])) {
        full = current + std::u16string(path.substr(2));
      } else {
        // Another drive's current directory would be in the variable "=X:"; Wine has none, so
        // it is the drive's root.
        full = {path[0], u':', u'\\'};
        full += path.substr(2);
      }
      mark = 3;
      break;
    }
    case PathKind::kRelative: {
      const std::u16string current = CurrentDirectory();
      if (current.empty()) return {};
      full = current + std::u16string(path);
      mark = current[1] == u':' ? 3 : SkipUncPrefix(current);
      break;
    }
    case PathKind::kAbsolute: {
      // Wine's own addition: a path that starts with a slash is a host path when its parent
      // directory exists there (\\?\unix\...); otherwise it is below the current drive's root.
      if (path[0] == u'/') {
        const std::u16string unix = u"unix" + std::u16string(path);
        const std::size_t last = unix.find_last_of(u"\\/");
        // Its directory is enough: where the path exists, so does the directory.
        if (NtPathExists(unix.substr(0, last + 1))) return u"\\\\?\\" + unix;
      }
      const std::u16string current = CurrentDirectory();
      if (current.empty()) return {};
      if (current[1] == u':') {
        full = current.substr(0, 2) + std::u16string(path);
        mark = 3;
      } else {
        mark = SkipUncPrefix(current);
        full = current.substr(0, mark) + std::u16string(path);
      }
      break;
    }
  }
  CollapsePath(full, mark);
  return full;
}

// The entry `name` of host directory `directory` ("" for the root), exactly or without regard
// to case; "" if none.
std::string FindInDirectory(const std::string& directory, std::u16string_view name) {
  const std::string exact = directory + '/' + HostName(name);
  struct stat info;
  if (lstat(exact.c_str(), &info) == 0) return exact;
  // glibc opens it non-blocking, as a directory only.
  DIR* listing = opendir(directory.empty() ? "/" : directory.c_str());
  if (listing == nullptr) return {};
  std::string found;
  while (const dirent* entry = readdir(listing)) {
    if (SameIgnoringCase(DecodeUtf8(entry->d_name), name)) {
      found = directory + '/' + entry->d_name;
      break;
    }
  }
  closedir(listing);
  return found;
}

bool NtPathExists(std::u16string_view nt) {
  // Below "unix" the names are the host's, separated by slashes as well; elsewhere an NT name
  // has backslashes only, and a slash is one of the characters no Windows name holds.
  const bool unix =
      SameIgnoringCase(nt.substr(0, 4), u"unix") && nt.size() > 4 && IsSeparator(nt[4]);
  const auto separates = [&](char16_t unit) { return unit == u'\\' || (unix && unit == u'/'); };
  for (char16_t unit : nt)
    if (unit < 32 || (!unix && unit == u'/') ||
        std::u16string_view(u"*?<>|\"").find(unit) != std::u16string_view::npos)
      return false;
  std::size_t end = 0;
  while (end < nt.size() && !separates(nt[end])) ++end;
  const std::u16string_view first = nt.substr(0, end);
  // A device alone: NUL always, a drive or another device when the prefix links it.
  if (end == nt.size() && SameIgnoringCase(first, u"NUL")) return true;
  std::string base;  // "" for the host's root
  if (!unix) {
    base = DosDevicesEntry(first);
    if (base.empty()) return false;
  }
  std::vector<std::u16string_view> components;
  for (std::size_t start = end; start < nt.size();) {
    ++start;  // past the separator
    std::size_t stop = start;
    while (stop < nt.size() && !separates(nt[stop])) ++stop;
    const std::u16string_view component = nt.substr(start, stop - start);
    // An NT name is not cleaned up: ".", ".." and an empty component (two separators in a row)
    // name nothing. Below "unix" the host's rules hold.
    if (!unix &&
        (component == u"." || component == u".." || (component.empty() && stop < nt.size())))
      return false;
    if (!component.empty()) components.push_back(component);
    start = stop;
  }
  // A separator at the end asks for a directory.
  const bool directory = separates(nt.back());
  const auto fits = [&](const std::string& host) {
    struct stat info;
    return stat(host.empty() ? "/" : host.c_str(), &info) == 0 &&
           (!directory || S_ISDIR(info.st_mode));
  };
  // Usually the names are as on disk, and one stat answers.
  std::string exact = base;
  for (std::u16string_view component : components) exact += '/' + HostName(component);
  if (fits(exact)) return true;
  std::string walked = base;
  for (std::u16string_view component : components) {
    walked = FindInDirectory(walked, component);
    if (walked.empty()) return false;
  }
  return fits(walked);
}

}  // namespace

std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return {};
  return std::string(home) + "/.wine";
}

std::string MachineRegistryFile() {
  std::string prefix = WinePrefix();
  if (prefix.empty()) return {};
  return prefix + "/system.reg";
}

std::u16string NtPathName(std::u16string_view path) {
  path = path.substr(0, path.find(u'\0'));
  if (path.empty()) return {};
  if (TakenAsItIs(path)) return std::u16string(path.substr(4));
  // A device is no file (WinePathExists answers for it).
  if (!DosDeviceName(path).empty()) return {};
  const std::u16string full = FullPathName(path);
  if (full.empty()) return {};
  switch (KindOf(full)) {
    case PathKind::kUnc:
      return u"UNC\\" + full.substr(2);
    case PathKind::kDevice:
      return full.substr(4);
    default:
      return full;
  }
}

bool WinePathExists(std::u16string_view path) {
  path = path.substr(0, path.find(u'\0'));
  if (!TakenAsItIs(path) && !DosDeviceName(path).empty()) {
    // A DOS device (NUL, COM1, with any extension) is there, under Wine, when the directory it
    // is named in is. The probe never asks: its last component is always jvm.dll.
    const std::size_t last = path.find_last_of(u"\\/");
    return last == std::u16string_view::npos || WinePathExists(path.substr(0, last + 1));
  }
  const std::u16string nt = NtPathName(path);
  return !nt.empty() && NtPathExists(nt);
}

}  // namespace host
