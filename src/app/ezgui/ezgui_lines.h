// The rich-text view's text limit rule, the same on every platform.
#pragma once

#include <cstddef>

// How many characters to drop from the front of `text` so that it fits in
// `limit`: the oldest whole lines, so that the newest lines stay. Only when
// the last line alone is longer than the limit is a line cut, keeping its
// end. A limit of 0 or less means no limit. `Text` is any string of
// characters with size() and [] (std::string, std::wstring, QString).
template <class Text>
std::size_t ezCharactersToDrop(const Text& text, long long limit) {
  const auto size = static_cast<long long>(text.size());
  if (limit <= 0 || size <= limit) return 0;
  const long long need = size - limit;
  if (text[need - 1] == u'\n') return static_cast<std::size_t>(need);
  for (long long i = need; i + 1 < size; ++i) {
    if (text[i] == u'\n') return static_cast<std::size_t>(i + 1);
  }
  return static_cast<std::size_t>(need);
}
