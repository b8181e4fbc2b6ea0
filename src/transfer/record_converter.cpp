// Every step searches only from a little before `settled`: the settled front
// holds none of the patterns, so a match can at most begin in its last few
// bytes (a units word or a "#" run split across two chunks). A long
// unfinished record thus costs each chunk only the chunk's own length.
#include "transfer/record_converter.h"

#include <algorithm>

namespace {

constexpr char Marker = static_cast<char>(0x85);
constexpr char Terminator = '$';
constexpr std::string_view Feet = "Feet";
constexpr std::string_view Meters = "Meters";

// Where a search must begin so that a match reaching `overlap` bytes back
// into the settled front is not missed.
size_t searchStart(const PendingRecord& pending, size_t overlap) {
  return std::min(pending.text.size(), pending.settled - std::min(pending.settled, overlap));
}

// Writes into room made beforehand: growing the text a byte at a time
// costs more than the filtering itself.
void appendCleaned(std::string& text, std::string_view chunk) {
  const size_t before = text.size();
  text.resize(before + chunk.size());
  char* out = text.data() + before;
  for (const char c : chunk) {
    *out = c == Marker ? '#' : c;
    out += c != '\0' && c != '\r' && c != '\n';
  }
  text.resize(static_cast<size_t>(out - text.data()));
}

// Puts a terminator after every `word` that begins at or after `from`; text
// before the first match is not copied.
void endEachWord(std::string& text, size_t from, std::string_view word) {
  const size_t first = text.find(word, from);
  if (first == std::string::npos) return;
  std::string tail;
  tail.reserve(text.size() - first + (text.size() - first) / word.size() + 1);
  size_t copied = first;
  for (size_t hit = first; hit != std::string::npos; hit = text.find(word, copied)) {
    const size_t end = hit + word.size();
    tail.append(text, copied, end - copied);
    tail.push_back(Terminator);
    copied = end;
  }
  tail.append(text, copied, std::string::npos);
  text.resize(first);
  text += tail;
}

// Shrinks every run of "#" beginning at or after `from` to one "#": what
// replacing "##" by "#" until none is left comes to.
void collapseMarkers(std::string& text, size_t from) {
  // Most chunks hold no marker at all: nothing to move then.
  from = std::min(text.find('#', from), text.size());
  size_t out = from;
  char previous = from > 0 ? text[from - 1] : '\0';
  for (size_t in = from; in < text.size(); ++in) {
    const char c = text[in];
    if (c == '#' && previous == '#') continue;
    text[out++] = c;
    previous = c;
  }
  text.resize(out);
}

std::string recordLine(std::string_view record) {
  std::string line;
  line.reserve(record.size() + 1);
  for (size_t at = 0; at < record.size();) {
    const size_t marker = std::min(record.find('#', at), record.size());
    line.append(record, at, marker - at);
    if (marker < record.size()) line += HeaderBlock;
    at = marker + 1;
  }
  line.push_back('\n');
  return line;
}

}  // namespace

void convertChunk(PendingRecord& pending, std::string_view chunk) {
  appendCleaned(pending.text, chunk);
  endEachWord(pending.text, searchStart(pending, Feet.size() - 1), Feet);
  endEachWord(pending.text, searchStart(pending, Meters.size() - 1), Meters);
  collapseMarkers(pending.text, searchStart(pending, 1));
  pending.converted = pending.text.size();
}

std::vector<std::string> writeOutRecords(PendingRecord& pending) {
  std::vector<std::string> lines;
  std::string& text = pending.text;
  if (text.size() < 2) return lines;
  size_t begin = 0;
  for (size_t end = text.find(Terminator, std::min(pending.settled, text.size()));
       end != std::string::npos; end = text.find(Terminator, begin)) {
    lines.push_back(recordLine(std::string_view(text).substr(begin, end - begin)));
    begin = end + 1;
  }
  if (begin > 0) text.erase(0, begin);
  // What is left holds no terminator; only the part that has been converted
  // is also known to hold no units word and no "#" run.
  pending.converted -= std::min(pending.converted, begin);
  pending.settled = std::min(pending.converted, text.size());
  return lines;
}
