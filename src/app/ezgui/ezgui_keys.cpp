// Accelerator tables. A table's keys belong to the form's window and win
// over the focused control's own use of a key (Ctrl+Z and Ctrl+X in a text
// box are commands of the form, not undo and cut); each backend catches
// them before its controls see them.
#include "app/ezgui/ezgui_keys.h"

#include <cctype>
#include <cstdlib>
#include <optional>

#include "app/ezgui/ezgui_backend.h"

namespace {

struct NamedKey {
  const char* text;
  EzKeyName name;
};

constexpr NamedKey NamedKeys[] = {{"DEL", EzKeyName::Delete},  {"DELETE", EzKeyName::Delete},
                                  {"INS", EzKeyName::Insert},  {"INSERT", EzKeyName::Insert},
                                  {"HOME", EzKeyName::Home},   {"END", EzKeyName::End},
                                  {"PGUP", EzKeyName::PageUp}, {"PGDN", EzKeyName::PageDown},
                                  {"ESC", EzKeyName::Escape},  {"TAB", EzKeyName::Tab},
                                  {"ENTER", EzKeyName::Enter}, {"RETURN", EzKeyName::Enter},
                                  {"SPACE", EzKeyName::Space}, {"UP", EzKeyName::Up},
                                  {"DOWN", EzKeyName::Down},   {"LEFT", EzKeyName::Left},
                                  {"RIGHT", EzKeyName::Right}, {"BACKSPACE", EzKeyName::Backspace}};

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The key without its prefixes; false when it names none.
bool readKey(const std::string& name, EzKeySpec& into) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    into.name = EzKeyName::Character;
    into.character = name[0];
    return true;
  }
  if (name.size() >= 2 && name[0] == 'F' &&
      name.find_first_not_of("0123456789", 1) == std::string::npos) {
    into.name = EzKeyName::Function;
    into.function = std::atoi(name.c_str() + 1);
    return into.function >= 1 && into.function <= 24;
  }
  for (const NamedKey& named : NamedKeys) {
    if (name == named.text) {
      into.name = named.name;
      return true;
    }
  }
  return false;
}

// "F1", "^F" (Ctrl), "+F" (Shift), "%F" (Alt), prefixes combined in any order.
bool readKeyWithPrefixes(const std::string& text, EzKeySpec& into) {
  size_t i = 0;
  for (; i + 1 < text.size(); ++i) {
    if (text[i] == '^') {
      into.control = true;
    } else if (text[i] == '+') {
      into.shift = true;
    } else if (text[i] == '%') {
      into.alt = true;
    } else {
      break;
    }
  }
  return readKey(upper(trimmed(text.substr(i))), into);
}

std::optional<int> commandOf(const std::string& text) {
  const std::string command = trimmed(text);
  char* end = nullptr;
  const long number = std::strtol(command.c_str(), &end, 10);
  if (command.empty() || *end != '\0') return std::nullopt;
  return static_cast<int>(number);
}

}  // namespace

std::vector<EzKeySpec> ezParseAcceleratorTable(const std::string& table) {
  std::vector<EzKeySpec> keys;
  size_t start = 0;
  while (start <= table.size()) {
    const size_t bar = table.find('|', start);
    const std::string entry =
        table.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    start = bar == std::string::npos ? table.size() + 1 : bar + 1;
    const size_t comma = entry.rfind(',');
    if (comma == std::string::npos || comma == 0) continue;
    const std::optional<int> command = commandOf(entry.substr(comma + 1));
    EzKeySpec key;
    if (!command || !readKeyWithPrefixes(trimmed(entry.substr(0, comma)), key)) continue;
    key.command = *command;
    keys.push_back(key);
  }
  return keys;
}

void EZ_DEFACCEL(const std::string& name, const std::string& table) {
  if (!ezOnGuiThread()) return;
  ezBackendSetAccelerators(name, ezParseAcceleratorTable(table));
}
