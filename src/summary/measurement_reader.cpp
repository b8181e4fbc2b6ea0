#include "summary/measurement_reader.h"

#include <charconv>
#include <cmath>
#include <fstream>

#include "summary/utf8_path.h"

namespace {

constexpr std::string_view HeaderText = "XSec,Date,Time,Station,Depth,Velocity,Angle,Units";
constexpr size_t FieldCount = 8;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Locale-free, and only finite numbers: "nan" or "1e999" is no measurement.
bool readNumber(std::string_view text, double& value) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

std::vector<std::string_view> fieldsOf(std::string_view record) {
  std::vector<std::string_view> fields;
  while (fields.size() <= FieldCount) {
    const size_t comma = record.find(',');
    fields.push_back(record.substr(0, comma));
    if (comma == std::string_view::npos) break;
    record.remove_prefix(comma + 1);
  }
  return fields;
}

// The reason a record cannot be used, or "" when `record` was filled.
std::string parseRecord(const std::vector<std::string_view>& fields, Record& record) {
  if (fields.size() != FieldCount) {
    return fields.size() > FieldCount ? "more than 8 fields"
                                      : std::to_string(fields.size()) + " field" +
                                            (fields.size() == 1 ? "" : "s") + ", not 8";
  }
  if (!readNumber(fields[3], record.station)) return "Station is not a number";
  if (!readNumber(fields[4], record.depth)) return "Depth is not a number";
  if (record.depth < 0) return "Depth is negative";
  if (!readNumber(fields[5], record.velocity)) return "Velocity is not a number";
  const std::string_view units = trimmed(fields[7]);
  if (units == "Feet") {
    record.units = Units::Feet;
  } else if (units == "Meters") {
    record.units = Units::Meters;
  } else {
    return "Units is neither Feet nor Meters";
  }
  if (trimmed(fields[6]).empty()) {
    record.angleRead = AngleRead::Blank;
  } else if (readNumber(fields[6], record.angle)) {
    record.angleRead = AngleRead::Number;
  } else {
    record.angleRead = AngleRead::NotANumber;
    record.angle = 0;
  }
  return "";
}

class Reader {
 public:
  void line(std::string_view text, int number) {
    // Header blocks stand between CR bytes; what is left is the record.
    std::string record;
    size_t start = 0;
    while (start <= text.size()) {
      size_t cr = text.find('\r', start);
      if (cr == std::string_view::npos) cr = text.size();
      const std::string_view part = text.substr(start, cr - start);
      if (part == HeaderText) {
        ++block_;
        startNew_ = true;
      } else {
        record += part;
      }
      start = cr + 1;
    }
    if (!record.empty()) takeRecord(record, number);
  }

  MeasurementFile done() {
    if (unlisted_ > 0) {
      file_.skipped.push_back(
          {firstUnlisted_, "this and " + std::to_string(unlisted_ - 1) + " more records skipped"});
    }
    return std::move(file_);
  }

 private:
  void skip(int number, std::string reason) {
    if (file_.skipped.size() < MaxListedSkips) {
      file_.skipped.push_back({number, std::move(reason)});
    } else if (unlisted_++ == 0) {
      firstUnlisted_ = number;
    }
  }

  void takeRecord(std::string_view text, int number) {
    const std::vector<std::string_view> fields = fieldsOf(text);
    Record record;
    record.line = number;
    std::string reason = parseRecord(fields, record);
    if (!reason.empty()) {
      skip(number, std::move(reason));
      return;
    }
    // Records before any header line form a block of their own.
    if (block_ == 0) block_ = 1;
    const std::string_view xsec = trimmed(fields[0]);
    if (startNew_ || file_.measurements.empty() || file_.measurements.back().xsec != xsec) {
      Measurement m;
      m.xsec = xsec;
      m.block = block_;
      m.date = trimmed(fields[1]);
      m.time = trimmed(fields[2]);
      file_.measurements.push_back(std::move(m));
      startNew_ = false;
    }
    file_.measurements.back().records.push_back(record);
  }

  MeasurementFile file_;
  int block_ = 0;
  bool startNew_ = false;
  size_t unlisted_ = 0;
  int firstUnlisted_ = 0;
};

}  // namespace

MeasurementFile readMeasurements(std::string_view bytes) {
  Reader reader;
  int number = 0;
  while (!bytes.empty()) {
    const size_t lf = bytes.find('\n');
    const std::string_view line = bytes.substr(0, lf);
    // Lines are counted up to what fits in an int; a file that long was refused.
    if (number < 2147483647) ++number;
    reader.line(line, number);
    if (lf == std::string_view::npos) break;
    bytes.remove_prefix(lf + 1);
  }
  return reader.done();
}

bool readMeasurementFile(const std::string& path, MeasurementFile& file, std::string& error) {
  std::ifstream in(utf8Path(path), std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::string bytes;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    if (bytes.size() + static_cast<size_t>(in.gcount()) > MaxFileBytes) {
      error = path + " is larger than 8 MiB: not a file of measurement records";
      return false;
    }
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) {
    error = "cannot read " + path;
    return false;
  }
  file = readMeasurements(bytes);
  return true;
}
