#pragma once
// The table of compiled resources that rc writes into each program (one per resource script)
// and that the resource loaders of platform/resource.h search.
#include <cstddef>
#include <cstdint>

namespace win {

// One resource: its type and name, each a 16-bit number (string pointer null) or an
// upper-case name; its bytes in the standard binary layout of its type.
struct ResourceEntry {
  std::uint16_t typeId;
  const char* typeName;
  std::uint16_t nameId;
  const char* nameStr;
  const unsigned char* data;  // null when size is 0
  std::uint32_t size;
};

// A static object of the generated source: adds its table at start-up. Tables registered
// later are searched after earlier ones.
struct ResourceRegistration {
  ResourceRegistration(const ResourceEntry* entries, std::size_t count);
};

}  // namespace win
