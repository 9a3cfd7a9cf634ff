#include "tests/platform/kernel32/pe_writer.h"

#include <algorithm>
#include <map>

#include "platform/runtime/byte_reader.h"

namespace tamso::testing {

namespace {

using Key = std::variant<std::uint16_t, std::u16string>;

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kHeaderBytes = 0x200;
constexpr std::uint32_t kHighBit = 0x80000000u;

// Named entries come first, sorted by name; numbered ones follow, ascending.
struct KeyOrder {
  bool operator()(const Key& a, const Key& b) const {
    if (a.index() != b.index()) return a.index() > b.index();
    return a < b;
  }
};

class Buffer {
 public:
  std::size_t size() const { return bytes_.size(); }
  void grow(std::size_t size) { bytes_.resize(std::max(bytes_.size(), size), 0); }
  void u16(std::size_t at, std::uint16_t v) {
    grow(at + 2);
    StoreU16(bytes_, at, v);
  }
  void u32(std::size_t at, std::uint32_t v) {
    grow(at + 4);
    StoreU32(bytes_, at, v);
  }
  void align(std::size_t to) { grow((size() + to - 1) / to * to); }
  std::vector<std::uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> WritePeFile(const std::vector<PeResource>& resources, bool wide) {
  // The tree: type -> name -> language -> resource.
  std::map<Key, std::map<Key, std::map<std::uint16_t, const PeResource*>, KeyOrder>, KeyOrder> tree;
  for (const PeResource& r : resources) tree[r.type][r.name][r.language] = &r;

  // Lay out the section: directories, then data entries, then names, then data.
  Buffer rsrc;
  std::vector<std::pair<std::size_t, std::u16string>> nameFixups;  // entry offset, name
  std::vector<std::pair<std::size_t, const PeResource*>> dataEntries;
  std::size_t next = 0;
  const auto directory = [&](std::size_t entries) {
    const std::size_t at = next;
    next += 16 + 8 * entries;
    rsrc.grow(next);
    return at;
  };
  const auto writeDirectory = [&](std::size_t at, std::size_t named, std::size_t numbered) {
    rsrc.u16(at + 12, static_cast<std::uint16_t>(named));
    rsrc.u16(at + 14, static_cast<std::uint16_t>(numbered));
  };
  const auto writeKey = [&](std::size_t entry, const Key& key) {
    if (const auto* id = std::get_if<std::uint16_t>(&key))
      rsrc.u32(entry, *id);
    else
      nameFixups.emplace_back(entry, std::get<std::u16string>(key));
  };
  const auto namedCount = [](const auto& map) {
    return static_cast<std::size_t>(
        std::count_if(map.begin(), map.end(), [](const auto& e) { return e.first.index() == 1; }));
  };

  const std::size_t root = directory(tree.size());
  writeDirectory(root, namedCount(tree), tree.size() - namedCount(tree));
  std::size_t typeEntry = root + 16;
  for (const auto& [type, names] : tree) {
    const std::size_t typeDir = directory(names.size());
    writeKey(typeEntry, type);
    rsrc.u32(typeEntry + 4, kHighBit | static_cast<std::uint32_t>(typeDir));
    typeEntry += 8;
    writeDirectory(typeDir, namedCount(names), names.size() - namedCount(names));
    std::size_t nameEntry = typeDir + 16;
    for (const auto& [name, languages] : names) {
      const std::size_t languageDir = directory(languages.size());
      writeKey(nameEntry, name);
      rsrc.u32(nameEntry + 4, kHighBit | static_cast<std::uint32_t>(languageDir));
      nameEntry += 8;
      writeDirectory(languageDir, 0, languages.size());
      std::size_t languageEntry = languageDir + 16;
      for (const auto& [language, resource] : languages) {
        rsrc.u32(languageEntry, language);
        dataEntries.emplace_back(languageEntry + 4, resource);
        languageEntry += 8;
      }
    }
  }
  for (auto& [entry, resource] : dataEntries) {
    const std::size_t at = next;
    next += 16;
    rsrc.grow(next);
    rsrc.u32(entry, static_cast<std::uint32_t>(at));
    entry = at;
  }
  for (const auto& [entry, name] : nameFixups) {
    const std::size_t at = next;
    rsrc.u32(entry, kHighBit | static_cast<std::uint32_t>(at));
    rsrc.u16(at, static_cast<std::uint16_t>(name.size()));
    for (std::size_t i = 0; i < name.size(); ++i) rsrc.u16(at + 2 + 2 * i, name[i]);
    next = at + 2 + 2 * name.size();
    rsrc.grow(next);
  }
  for (const auto& [entry, resource] : dataEntries) {
    rsrc.align(4);
    const std::size_t at = rsrc.size();
    rsrc.u32(entry, kSectionRva + static_cast<std::uint32_t>(at));
    rsrc.u32(entry + 4, static_cast<std::uint32_t>(resource->data.size()));
    rsrc.grow(at + resource->data.size());
    std::copy(resource->data.begin(), resource->data.end(),
              rsrc.bytes().begin() + static_cast<std::ptrdiff_t>(at));
  }
  const auto sectionSize = static_cast<std::uint32_t>(rsrc.size());
  rsrc.align(0x200);

  // Headers: DOS stub pointer, PE signature, COFF header, optional header, one section.
  Buffer file;
  file.u16(0, 0x5A4D);
  file.u32(0x3C, 0x40);
  file.u32(0x40, 0x00004550);
  const std::size_t coff = 0x44;
  const std::uint16_t optionalSize = wide ? 240 : 224;
  file.u16(coff, wide ? 0x8664 : 0x14C);
  file.u16(coff + 2, 1);
  file.u16(coff + 16, optionalSize);
  file.u16(coff + 18, 0x2102);  // a DLL
  const std::size_t optional = coff + 20;
  file.u16(optional, wide ? 0x20B : 0x10B);
  const std::size_t directories = optional + (wide ? 112 : 96);
  file.u32(directories - 4, 16);
  file.u32(directories + 16, kSectionRva);
  file.u32(directories + 20, sectionSize);
  const std::size_t section = optional + optionalSize;
  file.grow(section + 40);
  const std::string name = ".rsrc";
  std::copy(name.begin(), name.end(), file.bytes().begin() + static_cast<std::ptrdiff_t>(section));
  file.u32(section + 8, sectionSize);
  file.u32(section + 12, kSectionRva);
  file.u32(section + 16, static_cast<std::uint32_t>(rsrc.size()));
  file.u32(section + 20, kHeaderBytes);
  file.grow(kHeaderBytes);
  std::vector<std::uint8_t> out = std::move(file.bytes());
  out.insert(out.end(), rsrc.bytes().begin(), rsrc.bytes().end());
  return out;
}

}  // namespace tamso::testing
