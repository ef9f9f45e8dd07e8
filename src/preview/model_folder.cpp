#include "preview/model_folder.h"

#include <algorithm>

#include "lift/paths.h"

Child NewEntry(const ListedEntry& entry, const std::string& diskPath, bool loaded) {
  return Child(new ModelFolder{entry, diskPath, loaded, "", {}, {}, {}, {}});
}

std::vector<std::string> KeysOf(const std::string& path) {
  std::vector<std::string> keys;
  for (const std::string& component : ComponentsOf(path)) keys.push_back(NameKey(component));
  return keys;
}

void Attach(ModelFolder& folder, Child child) {
  const ListedEntry& entry = child->entry;
  folder.byName[entry.name] = folder.children.size();
  folder.byKey.insert({NameKey(entry.name), folder.children.size()});
  if (!entry.shortName.empty()) folder.byShortName[NameKey(entry.shortName)] = folder.children.size();
  folder.children.push_back(std::move(child));
}

Child Detach(ModelFolder& folder, std::size_t index) {
  Child child = std::move(folder.children[index]);
  folder.byName.erase(child->entry.name);
  const auto twins = folder.byKey.equal_range(NameKey(child->entry.name));
  for (auto twin = twins.first; twin != twins.second; ++twin)
    if (twin->second == index) {
      folder.byKey.erase(twin);
      break;
    }
  if (!child->entry.shortName.empty()) folder.byShortName.erase(NameKey(child->entry.shortName));
  return child;
}

bool Load(ModelFolder& folder, FileSystem& disk) {
  if (folder.loaded) return folder.loadError.empty();
  folder.loaded = true;
  std::vector<ListedEntry> entries;
  if (!disk.ListFolder(folder.diskPath, entries, folder.loadError)) return false;
  for (const ListedEntry& entry : entries)
    Attach(folder, NewEntry(entry, JoinPath(folder.diskPath, entry.name), false));
  return true;
}

std::size_t Find(ModelFolder& folder, FileSystem& disk, const std::string& name) {
  if (!Load(folder, disk)) return None;
  auto found = folder.byName.find(name);
  if (found != folder.byName.end()) return found->second;
  const std::string key = NameKey(name);
  std::size_t first = None;
  const auto twins = folder.byKey.equal_range(key);
  for (auto twin = twins.first; twin != twins.second; ++twin) first = std::min(first, twin->second);
  if (first != None) return first;
  found = folder.byShortName.find(key);
  return found != folder.byShortName.end() ? found->second : None;
}
