#include "tests/platform/kernel32/pe_writer.h"

#include <algorithm>
#include <map>

#include "platform/runtime/byte_reader.h"

namespace tamso::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kSectionRva = 0x1000, kHeaderBytes = 0x200, kHighBit = 0x80000000u;

// Stores `v` in `width` bytes at `at`, growing `b` as needed.
void Put(Bytes& b, std::size_t at, std::size_t v, std::size_t width = 4) {
  b.resize(std::max(b.size(), at + width));
  width == 2 ? StoreU16(b, at, static_cast<std::uint16_t>(v))
             : StoreU32(b, at, static_cast<std::uint32_t>(v));
}

// Appends a directory of `entries` and returns the offset of its first entry.
template <class Map>
std::size_t Directory(Bytes& s, const Map& entries) {
  s.resize((s.size() + 3) / 4 * 4);
  const std::size_t at = s.size();
  const auto named =
      std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.first.index() == 0; });
  Put(s, at + 12, static_cast<std::size_t>(named), 2);
  Put(s, at + 14, entries.size() - static_cast<std::size_t>(named), 2);
  s.resize(at + 16 + 8 * entries.size());
  return at + 16;
}

// Writes the key of the entry at `entry`, and its subdirectory's offset: the end of `s`.
void Entry(Bytes& s, std::size_t entry, const PeKey& key) {
  if (const int* id = std::get_if<int>(&key)) {
    Put(s, entry, static_cast<std::size_t>(*id));
  } else {
    const std::u16string& name = std::get<std::u16string>(key);
    const std::size_t at = s.size();
    Put(s, entry, kHighBit | at);
    Put(s, at, name.size(), 2);
    for (std::size_t i = 0; i < name.size(); ++i) Put(s, at + 2 + 2 * i, name[i], 2);
  }
  s.resize((s.size() + 3) / 4 * 4);
  Put(s, entry + 4, kHighBit | s.size());
}

}  // namespace

std::vector<std::uint8_t> WritePeFile(const std::vector<PeResource>& resources, bool wide) {
  std::map<PeKey, std::map<PeKey, const Bytes*>> tree;
  for (const PeResource& r : resources) tree[r.type][r.name] = &r.data;
  Bytes s;
  std::size_t typeEntry = Directory(s, tree);
  for (const auto& [type, names] : tree) {
    Entry(s, typeEntry, type);
    typeEntry += 8;
    std::size_t nameEntry = Directory(s, names);
    for (const auto& [name, data] : names) {
      Entry(s, nameEntry, name);
      nameEntry += 8;
      // One language, then its data entry (address, size) and the data.
      const std::size_t language = s.size();
      Put(s, language + 14, 1, 2);
      Put(s, language + 16, 0x409);
      Put(s, language + 20, language + 24);
      Put(s, language + 24, kSectionRva + language + 40);
      Put(s, language + 28, data->size());
      s.resize(language + 40);
      s.insert(s.end(), data->begin(), data->end());
    }
  }
  const std::size_t sectionSize = s.size();
  s.resize((s.size() + kHeaderBytes - 1) / kHeaderBytes * kHeaderBytes);

  // Headers: DOS stub pointer, PE signature, COFF header, optional header, one section.
  Bytes file;
  Put(file, 0, 0x5A4D, 2);
  Put(file, 0x3C, 0x40);
  Put(file, 0x40, 0x00004550);
  const std::size_t coff = 0x44, optional = coff + 20, optionalSize = wide ? 240 : 224;
  Put(file, coff, wide ? 0x8664 : 0x14C, 2);
  Put(file, coff + 2, 1, 2);
  Put(file, coff + 16, optionalSize, 2);
  Put(file, coff + 18, 0x2102, 2);  // a DLL
  Put(file, optional, wide ? 0x20B : 0x10B, 2);
  const std::size_t directories = optional + (wide ? 112 : 96);
  Put(file, directories - 4, 16);
  Put(file, directories + 16, kSectionRva);  // the resource directory
  Put(file, directories + 20, sectionSize);
  const std::size_t section = optional + optionalSize;
  Put(file, section, 0x7273722E);  // ".rsr"
  Put(file, section + 4, 'c', 2);
  Put(file, section + 8, sectionSize);
  Put(file, section + 12, kSectionRva);
  Put(file, section + 16, s.size());
  Put(file, section + 20, kHeaderBytes);
  file.resize(kHeaderBytes);
  file.insert(file.end(), s.begin(), s.end());
  return file;
}

}  // namespace tamso::testing
