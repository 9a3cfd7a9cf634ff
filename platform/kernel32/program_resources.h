#pragma once
// The program's own resources: data embedded in the executable at build time, found with
// module 0. The build's tamso_add_program_resources() writes one ProgramResource object
// for each embedded file; tests may register more.

#include <cstdint>
#include <span>
#include <string>

#include "platform/kernel32/pe_resources.h"

namespace tamso {

// Registers `data` (which must live as long as the program) as resource `name` of
// `type` of the program itself. A later registration of the same type and name wins.
void RegisterProgramResource(const ResourceName& type, const ResourceName& name,
                             std::span<const std::uint8_t> data);

// The program's resource `name` of `type`, if registered.
std::optional<std::span<const std::uint8_t>> FindProgramResource(const ResourceName& type,
                                                                 const ResourceName& name);

// Registers one embedded resource as the program starts.
struct ProgramResource {
  ProgramResource(std::uint16_t type, std::uint16_t id, std::span<const std::uint8_t> data) {
    RegisterProgramResource(type, id, data);
  }
  ProgramResource(std::uint16_t type, const char* name, std::span<const std::uint8_t> data) {
    if (const auto parsed = ParseResourceName(name)) RegisterProgramResource(type, *parsed, data);
  }
};

}  // namespace tamso
