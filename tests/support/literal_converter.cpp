#include "support/literal_converter.h"

namespace literal {

namespace {

const std::string Header = "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r";

std::string withoutByte(std::string_view text, char byte) {
  std::string out;
  for (char c : text) {
    if (c != byte) out += c;
  }
  return out;
}

// Every occurrence of `from`, left to right, without looking at what was put in.
std::string replaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string out;
  size_t at = 0;
  for (size_t found = text.find(from); found != std::string::npos; found = text.find(from, at)) {
    out += text.substr(at, found - at);
    out += to;
    at = found + from.size();
  }
  return out + text.substr(at);
}

}  // namespace

void convertChunk(std::string& pending, std::string_view chunk) {
  std::string converted = withoutByte(withoutByte(withoutByte(chunk, '\0'), '\r'), '\n');
  for (char& c : converted) {
    if (c == '\x85') c = '#';
  }
  std::string work = pending + converted;
  if (work.find("Feet") != std::string::npos) work = replaceAll(work, "Feet", "Feet$");
  if (work.find("Meters") != std::string::npos) work = replaceAll(work, "Meters", "Meters$");
  while (work.find("##") != std::string::npos) work = replaceAll(work, "##", "#");
  pending = work;
}

std::vector<std::string> writeOutRecords(std::string& pending) {
  std::vector<std::string> lines;
  if (pending.size() < 2) return lines;
  for (size_t end = pending.find('$'); end != std::string::npos; end = pending.find('$')) {
    const std::string record = pending.substr(0, end);
    pending.erase(0, end + 1);
    lines.push_back(replaceAll(record, "#", Header) + "\n");
  }
  return lines;
}

}  // namespace literal
