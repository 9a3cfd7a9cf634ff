// How long the machine takes for the first touch of a memory page: maps 64 MiB and writes
// one byte a page. Explains why every picture-sized buffer shows in the window's start.
#include <sys/mman.h>

#include <chrono>
#include <cstdio>

int main() {
  constexpr std::size_t kBytes = std::size_t{64} << 20;
  constexpr std::size_t kPage = 4096;
  void* memory = mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return 1;
  auto* bytes = static_cast<volatile unsigned char*>(memory);
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t offset = 0; offset < kBytes; offset += kPage) bytes[offset] = 1;
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  std::printf("%.2f microseconds a page\n", spent.count() / (kBytes / kPage));
  munmap(memory, kBytes);
  return 0;
}
