#include "sim_options.h"

#include <charconv>

namespace sim {

namespace {

template <typename Number>
bool parseNumber(const std::string& text, Number low, Number high, Number& value) {
  Number parsed{};
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
  if (ec != std::errc() || ptr != end || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

struct Parser {
  const std::vector<std::string>& args;
  size_t next = 0;
  std::string& error;

  // The value of option `name`, given as "--name=value" (inline) or as the
  // following argument.
  bool value(const std::string& name, const std::string* inlineValue, std::string& out) {
    if (inlineValue) {
      out = *inlineValue;
      return true;
    }
    if (next >= args.size()) {
      error = name + " needs a value";
      return false;
    }
    out = args[next++];
    return true;
  }

  template <typename Number>
  bool number(const std::string& name, const std::string* inlineValue, Number low, Number high,
              Number& out) {
    std::string text;
    if (!value(name, inlineValue, text)) return false;
    if (parseNumber(text, low, high, out)) return true;
    error = name + " expects a whole number from " + std::to_string(low) + " to " +
            std::to_string(high) + ", not \"" + text + "\"";
    return false;
  }
};

bool parseUnits(const std::string& text, Units& units) {
  if (text == "feet")
    units = Units::Feet;
  else if (text == "meters")
    units = Units::Meters;
  else if (text == "mixed")
    units = Units::Mixed;
  else
    return false;
  return true;
}

bool needsNoValue(const std::string& name, const std::string* inlineValue, std::string& error) {
  if (!inlineValue) return true;
  error = name + " takes no value";
  return false;
}

}  // namespace

bool parseOptions(const std::vector<std::string>& args, const char* envDir, Options& options,
                  std::string& error) {
  Options o;
  if (envDir) o.dir = envDir;
  Parser p{args, 0, error};
  while (p.next < args.size()) {
    std::string name = args[p.next++];
    std::string inlineText;
    const std::string* inlineValue = nullptr;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineText = name.substr(eq + 1);
      name.resize(eq);
      inlineValue = &inlineText;
    }
    bool ok = true;
    std::string text;
    if (name == "--help" || name == "-h") {
      ok = needsNoValue(name, inlineValue, error);
      o.help = true;
    } else if (name == "--com") {
      ok = p.number(name, inlineValue, 1, 100, o.com);
    } else if (name == "--dir") {
      ok = p.value(name, inlineValue, o.dir);
    } else if (name == "--blocks") {
      ok = p.number(name, inlineValue, 1, 1000, o.data.blocks);
    } else if (name == "--records") {
      ok = p.number(name, inlineValue, 1, 10000, o.data.recordsPerBlock);
    } else if (name == "--units") {
      ok = p.value(name, inlineValue, text);
      if (ok && !parseUnits(text, o.data.units)) {
        error = "--units expects feet, meters or mixed, not \"" + text + "\"";
        ok = false;
      }
    } else if (name == "--fast") {
      ok = needsNoValue(name, inlineValue, error);
      o.rate = 0;
    } else if (name == "--rate") {
      ok = p.number(name, inlineValue, 1, 100000000, o.rate);
    } else if (name == "--delay") {
      ok = p.number(name, inlineValue, 0, 600000, o.delayMs);
    } else if (name == "--seed") {
      ok = p.number<uint64_t>(name, inlineValue, 0, UINT64_MAX, o.data.seed);
    } else if (name == "--repeat") {
      ok = needsNoValue(name, inlineValue, error);
      o.repeat = true;
    } else if (name == "--hangup-after") {
      ok = p.number<int64_t>(name, inlineValue, 0, INT64_MAX, o.hangupAfter);
    } else if (name == "--hold") {
      ok = needsNoValue(name, inlineValue, error);
      o.hold = true;
    } else if (name == "--record") {
      ok = p.value(name, inlineValue, o.recordFile);
    } else if (name == "--once" || name == "--exit-when-done") {
      ok = needsNoValue(name, inlineValue, error);
      o.once = true;
    } else {
      error = "unknown option \"" + name + "\" (see --help)";
      ok = false;
    }
    if (!ok) return false;
  }
  if (o.help) {
    options = o;
    return true;
  }
  if (o.dir.empty()) {
    error = "no port folder: give --dir or set MORVANE_PORT_DIR";
    return false;
  }
  if (o.once && o.repeat) {
    error = "--once and --repeat exclude each other";
    return false;
  }
  options = o;
  return true;
}

std::string usageText() {
  return R"(Usage: morvane-sim [options]

A simulated measuring instrument on a pseudo-terminal. It is published as COMn
in a port folder, waits until the program opens the port (the program's
opening bytes 00 0D 0A arrive) or until Enter is pressed, then sends its stored
records: the block marker byte 85 at the start of each block, then one line
per record, "XSec,Date,Time,Station,Depth,Velocity,Angle,Units", ending CR LF.

  --com N            publish as COM N (1 to 100; default 1)
  --dir D            port folder (default: $MORVANE_PORT_DIR)
  --blocks N         blocks (cross-sections) stored (default 3)
  --records N        records per block (default 10)
  --units U          feet, meters or mixed (blocks alternate; default mixed)
  --rate B           pace at B bytes per second (default 1920, as 19200 baud)
  --fast             send as fast as the line takes the bytes
  --delay MS         pause between the opening bytes and the first byte sent
                     (default 2500; the program discards what comes within
                     its first 2 seconds on the line)
  --seed S           seed of the stored records: same seed, same bytes (default 1)
  --repeat           send again each time the program opens the port anew
  --hangup-after N   hang up (close the line) once N bytes have been sent
  --hold             hold the port as another program would (open and locked)
                     and send nothing, so the program finds it in use
  --record FILE      write the exact bytes sent to FILE
  --once, --exit-when-done
                     exit after the records have been sent once
  --help             this text

Enter on the terminal sends the records at once, whatever was sent before.
)";
}

}  // namespace sim
