#include "host/wine_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "host/case.h"
#include "host/utf.h"

namespace host {

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool IsSeparator(char16_t unit) {
  return unit == u'\\' || unit == u'/';
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

// The entry of directory `directory` whose name matches `name` without regard to case, or "".
std::string FindIgnoringCase(const std::string& directory, std::u16string_view name) {
  DIR* listing = opendir(directory.c_str());  // glibc opens it non-blocking, as a directory only
  if (listing == nullptr) return {};
  std::string found;
  while (const dirent* entry = readdir(listing)) {
    if (SameIgnoringCase(DecodeUtf8(entry->d_name), name)) {
      found = entry->d_name;
      break;
    }
  }
  closedir(listing);
  return found;
}

// Follows `components` down from the directory `base`, trying each name as it is, then without
// regard to case.
bool WalkExists(std::string base, const std::vector<std::u16string_view>& components) {
  for (std::u16string_view component : components) {
    std::string next = base + '/' + EncodeUtf8(component, LoneSurrogates::kRestoreBytes);
    if (!Exists(next)) {
      const std::string match = FindIgnoringCase(base, component);
      if (match.empty()) return false;
      next = base + '/' + match;
    }
    base = std::move(next);
  }
  return Exists(base);
}

bool IsDriveLetterPath(std::u16string_view path) {
  return path.size() >= 2 && path[1] == u':' &&
         ((path[0] >= u'a' && path[0] <= u'z') || (path[0] >= u'A' && path[0] <= u'Z'));
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

bool WinePathExists(std::u16string_view path) {
  path = path.substr(0, path.find(u'\0'));
  if (path.empty()) return false;
  if (!IsDriveLetterPath(path)) {
    std::string host_path = EncodeUtf8(path, LoneSurrogates::kRestoreBytes);
    for (char& c : host_path)
      if (c == '\\') c = '/';
    return Exists(host_path);
  }

  const std::string prefix = WinePrefix();
  if (prefix.empty()) return false;
  const char drive = static_cast<char>(path[0] | 0x20);
  // Windows resolves "." and ".." in the text before it looks at the disk, and never climbs
  // above the drive's root.
  std::vector<std::u16string_view> components;
  std::size_t start = 2;
  while (start < path.size()) {
    std::size_t stop = start;
    while (stop < path.size() && !IsSeparator(path[stop])) ++stop;
    const std::u16string_view component = path.substr(start, stop - start);
    if (component == u"..") {
      if (!components.empty()) components.pop_back();
    } else if (!component.empty() && component != u".") {
      components.push_back(component);
    }
    start = stop + 1;
  }
  return WalkExists(prefix + "/dosdevices/" + drive + ':', components);
}

}  // namespace host
