// What the program must have written for a given instrument byte stream,
// worked out from the stream as a whole, with no help from the program.
//
//   e2e_stream_oracle csv < sent > expected.csv
//       The CSV file a transfer of `sent` must leave: NUL, CR and LF are
//       dropped, the block marker 0x85 (and a "#" sent as such) opens a block,
//       any run of markers counts as one, a record ends after each "Feet" or
//       "Meters" and is written with one LF, and each marker stands as the
//       header line framed by CR. Text after the last units word is left out.
//
//   e2e_stream_oracle raw SENT RAW [--prefix]
//       Whether RAW is SENT cut into non-empty chunks, each followed by CR LF
//       (with --prefix: chunks of the first part of SENT). Prints the number
//       of chunks. Exit 0 when it is, 1 when not.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace {

const std::string Header = "XSec,Date,Time,Station,Depth,Velocity,Angle,Units";
constexpr unsigned char Marker = 0x85;

bool readFile(const char* path, std::string& into) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  into.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool startsWithAt(const std::string& text, size_t at, const char* word) {
  return text.compare(at, std::strlen(word), word) == 0;
}

int expectedCsv() {
  const std::string stream((std::istreambuf_iterator<char>(std::cin)),
                           std::istreambuf_iterator<char>());
  // The instrument's text never holds the program's own record terminator;
  // a stream with one would need the program's chunk-by-chunk rules, which
  // this whole-stream reading does not model.
  if (stream.find('$') != std::string::npos) {
    std::fprintf(stderr, "stream_oracle: the stream holds a '$'; not modelled\n");
    return 2;
  }
  // The text as the records are read from it: no line ends, no NULs, one
  // "#" for each run of block markers (wherever the dropped bytes stood).
  std::string text;
  for (const char c : stream) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0x00 || byte == 0x0D || byte == 0x0A) continue;
    const char kept = byte == Marker ? '#' : c;
    if (kept == '#' && !text.empty() && text.back() == '#') continue;
    text += kept;
  }
  std::string out;
  std::string record;
  for (size_t i = 0; i < text.size();) {
    size_t wordLength = 0;
    if (startsWithAt(text, i, "Feet")) wordLength = 4;
    if (startsWithAt(text, i, "Meters")) wordLength = 6;
    if (wordLength == 0) {
      if (text[i] == '#') {
        record += '\r' + Header + '\r';
      } else {
        record += text[i];
      }
      ++i;
      continue;
    }
    record.append(text, i, wordLength);
    i += wordLength;
    out += record;
    out += '\n';
    record.clear();
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

// Walks RAW, each byte either the next byte of SENT or, after at least one
// byte of a chunk, the first of an inserted CR LF. All ways of reading it are
// followed, since CR LF also occurs inside the stream.
int rawLogCheck(const std::string& sent, const std::string& raw, bool prefixOnly) {
  // State: position in RAW, position in SENT, inside a chunk.
  struct State {
    size_t r, s;
    bool inChunk;
    bool operator<(const State& o) const {
      return std::tie(r, s, inChunk) < std::tie(o.r, o.s, o.inChunk);
    }
  };
  std::set<State> seen;
  std::set<State> todo{{0, 0, false}};
  while (!todo.empty()) {
    const State at = *todo.begin();
    todo.erase(todo.begin());
    if (!seen.insert(at).second) continue;
    if (at.r == raw.size() && !at.inChunk && (prefixOnly || at.s == sent.size())) {
      std::printf("%zu chunks, %zu of %zu bytes sent\n", (at.r - at.s) / 2, at.s, sent.size());
      return 0;
    }
    if (at.r < raw.size() && at.s < sent.size() && raw[at.r] == sent[at.s])
      todo.insert({at.r + 1, at.s + 1, true});
    if (at.inChunk && raw.compare(at.r, 2, "\r\n") == 0) todo.insert({at.r + 2, at.s, false});
  }
  std::printf("not the sent bytes in chunks each followed by CR LF (%zu bytes sent, %zu logged)\n",
              sent.size(), raw.size());
  return 1;
}

int usage() {
  std::fprintf(stderr,
               "usage: e2e_stream_oracle csv < SENT\n"
               "       e2e_stream_oracle raw SENT RAW [--prefix]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "csv") == 0) return expectedCsv();
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "raw") == 0) {
    const bool prefixOnly = argc == 5 && std::strcmp(argv[4], "--prefix") == 0;
    if (argc == 5 && !prefixOnly) return usage();
    std::string sent;
    std::string raw;
    if (!readFile(argv[2], sent) || !readFile(argv[3], raw)) {
      std::fprintf(stderr, "stream_oracle: cannot read %s or %s\n", argv[2], argv[3]);
      return 2;
    }
    return rawLogCheck(sent, raw, prefixOnly);
  }
  return usage();
}
