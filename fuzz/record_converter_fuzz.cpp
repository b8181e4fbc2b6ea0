// The program's record conversion against the plain whole-text conversion,
// on any bytes cut into chunks anywhere: the fuzzer's input is both the
// stream (taken from its front) and the chunk lengths (taken from its back),
// so it steers the cuts as much as the text. Any difference in the lines
// written or in the pending text after a chunk aborts the run.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/literal_converter.h"
#include "transfer/record_converter.h"

namespace {

// Longer chunks than the line delivers at a time are as good as these:
// what matters is where the cuts fall, and the fuzzer picks that.
constexpr size_t LongestChunk = 64;

void differ(const char* what, size_t chunk) {
  std::fprintf(stderr, "the conversions differ in %s after chunk %zu\n", what, chunk);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  PendingRecord program;
  std::string plain;
  for (size_t chunk = 0; input.remaining_bytes() > 0; ++chunk) {
    const size_t length = input.ConsumeIntegralInRange<size_t>(0, LongestChunk);
    const std::string bytes = input.ConsumeBytesAsString(length);
    convertChunk(program, bytes);
    literal::convertChunk(plain, bytes);
    const std::vector<std::string> programLines = writeOutRecords(program);
    const std::vector<std::string> plainLines = literal::writeOutRecords(plain);
    if (programLines != plainLines) differ("the record lines", chunk);
    if (program.text != plain) differ("the pending text", chunk);
  }
  return 0;
}
